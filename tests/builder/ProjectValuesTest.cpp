// The project reader driven directly: the spellings a key accepts (numbers or names, "#RRGGBB"
// or a number, either path separator, null or absent) give the very same record bytes.
#include "BuilderTestSupport.h"
#include "ProjectReader.h"
#include "RecordWriter.h"

namespace lumo::builder::test {
namespace {

struct Spelling {
  const char* name;
  const char* top[2];   // fragments of the project object, first and second spelling
  const char* form[2];  // fragments of the form object
};

const Spelling kSpellings[] = {
    {"ProjectMode", {R"("projectMode": 2,)", R"("projectMode": "kiosk",)"}, {"", ""}},
    {"SizeUnit", {"", ""}, {R"("sizeUnit": 1,)", R"("sizeUnit": "percent",)"}},
    {"BorderStyle", {"", ""}, {R"("borderStyle": 5,)", R"("borderStyle": "none",)"}},
    {"StartState", {"", ""}, {R"("startState": 2,)", R"("startState": "maximized",)"}},
    {"ButtonMode", {"", ""}, {R"("rightButtonMode": 2,)", R"("rightButtonMode": "drag",)"}},
    {"ColourAsNumber", {"", ""}, {R"("backgroundColour": 3153936,)", R"("backgroundColour": "#102030",)"}},
    {"ColourCase", {"", ""}, {R"("playerBackground": "#abcdef",)", R"("playerBackground": "#ABCDEF",)"}},
    {"FadeAsNumber", {"", ""}, {R"("fadeIn": 1, "fadeOut": 0,)", R"("fadeIn": true, "fadeOut": false,)"}},
    {"PathSeparators", {"", ""}, {R"("previewMovie": "sub\\m.swf",)", R"("previewMovie": "sub/m.swf",)"}},
    {"NullFileIsNoFile", {R"("splashImage": null,)", ""}, {R"("maskImage": null, "previewMovie": null,)", ""}},
    {"DefaultWindowTitle", {"", ""}, {R"("windowTitle": "form",)", ""}},
    {"VariableOrder", {R"("globalVariables": {"b": "2", "a": "1"},)", R"("globalVariables": {"a": "1", "b": "2"},)"},
     {"", ""}},
};

void PrintTo(const Spelling& s, std::ostream* os) { *os << s.name; }

class BuilderValues : public TempFolderTest, public ::testing::WithParamInterface<Spelling> {};

TEST_P(BuilderValues, BothSpellingsGiveTheSameRecord) {
  writeBytes(dir / "m.swf", swfFile());
  writeBytes(dir / "sub" / "m.swf", swfFile(8));
  Bytes records[2];
  for (int i = 0; i < 2; ++i) {
    const std::string text = std::string("{") + GetParam().top[i] + R"( "forms": [{)" + GetParam().form[i] +
                             R"( "name": "main", "movie": "m.swf"}]})";
    ProjectLoad load = readProjectText(text, dir, "p.json");
    ASSERT_TRUE(load.ok()) << text << "\n" << (load.errors.empty() ? "" : load.errors[0]);
    records[i] = record::writeRecord(load.settings);
  }
  EXPECT_EQ(records[0], records[1]);
}

INSTANTIATE_TEST_SUITE_P(Cases, BuilderValues, ::testing::ValuesIn(kSpellings),
                         [](const ::testing::TestParamInfo<Spelling>& info) { return std::string(info.param.name); });

TEST_F(BuilderValues, ColourNamesItsRedGreenBlueInWindowsOrder) {
  writeBytes(dir / "m.swf", swfFile());
  ProjectLoad load = readProjectText(R"({"forms": [{"name": "f", "movie": "m.swf", "backgroundColour": "#102030"}]})",
                                     dir, "p.json");
  ASSERT_TRUE(load.ok());
  EXPECT_EQ(load.settings.version, 11);
  EXPECT_EQ(load.settings.forms[0]->formVersion, 10);
  EXPECT_EQ(load.settings.forms[0]->backgroundColour, 0x302010);  // 0x00BBGGRR
}

}  // namespace
}  // namespace lumo::builder::test
