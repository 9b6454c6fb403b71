// Message encoding between movie and runtime: text helpers, request parsing, argument
// decoding, result encoding, movie calls and value formatters, as tables of cases.
#include <gtest/gtest.h>

#include "bridge/CommandRequest.h"
#include "bridge/MovieCall.h"
#include "bridge/ResultEncoding.h"
#include "bridge/TextHelpers.h"
#include "bridge/Tokens.h"
#include "bridge/ValueFormat.h"

namespace lumo {
namespace {

using Texts = std::vector<std::wstring>;

TEST(Split, KeepsEmptyItemsAndHandlesEmptyInputs) {
  struct Case {
    std::wstring text, separator;
    Texts items;
  };
  const Case cases[] = {
      {L"", L",", {L""}},
      {L"a,b", L"", {L"a,b"}},
      {L"a,,b", L",", {L"a", L"", L"b"}},
      {L"a,", L",", {L"a", L""}},
      {L",", L",", {L"", L""}},
      {L"one!}}v{}!two", L"!}}v{}!", {L"one", L"two"}},
      {L"a<{z}b", L"<{z}>", {L"a<{z}b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(split(c.text, c.separator), c.items) << c.text;
}

TEST(Join, PutsSeparatorOnlyBetweenItems) {
  EXPECT_EQ(join({L"a"}, L","), L"a");
  EXPECT_EQ(join({L"a", L"", L"b"}, L"!}}v{}!"), L"a!}}v{}!!}}v{}!b");
}

TEST(ReplaceAll, NeverSearchesAReplacementAgain) {
  struct Case {
    std::wstring text, find, replacement, result;
  };
  const Case cases[] = {
      {L"a\\b\\c", L"\\", L"\\\\", L"a\\\\b\\\\c"},
      {L"aaa", L"a", L"aa", L"aaaaaa"},
      {L"\\\\\\", L"\\\\", L"\\", L"\\\\"},  // three backslashes: one pair collapses
      {L"abc", L"", L"x", L"abc"},           // empty search text: nothing to do
      {L"abc", L"z", L"x", L"abc"},
  };
  for (Case c : cases) {
    replaceAll(c.text, c.find, c.replacement);
    EXPECT_EQ(c.text, c.result);
  }
}

TEST(ParseCommandRequest, TakesNameFormIdAndArgumentText) {
  const CommandRequest request = parseCommandRequest(
      L"<invoke name=\"vor.Application.exit\" returntype=\"xml\"><arguments><string>3</string>"
      L"<string>&lt;{lumo}&gt;&quot;a&quot;</string></arguments></invoke>");
  EXPECT_EQ(request.name, L"vor.Application.exit");
  EXPECT_EQ(request.formId, L"3");
  EXPECT_EQ(request.arguments, L"&lt;{lumo}&gt;&quot;a&quot;");
}

TEST(ParseCommandRequest, MissingElementsLeaveEmptyTexts) {
  CommandRequest request = parseCommandRequest(
      L"<invoke name=\"vor.hasEI\" returntype=\"xml\"><arguments><string>0</string></arguments></invoke>");
  EXPECT_EQ(request.name, L"vor.hasEI");
  EXPECT_EQ(request.formId, L"0");
  EXPECT_EQ(request.arguments, L"");

  request = parseCommandRequest(L"garbage");
  EXPECT_EQ(request.name, L"");
  EXPECT_EQ(request.formId, L"");
  EXPECT_EQ(request.arguments, L"");
}

TEST(DecodeArgumentList, FollowsTheEscapeTableInOrder) {
  struct Case {
    std::wstring text;
    Texts arguments;
  };
  const Case cases[] = {
      {L"no marker", {}},
      {L"<{lumo}>", {L""}},
      {L"&lt;{lumo}&gt;", {L""}},
      {L"ignored<{lumo}>&quot;a&quot;,&quot;b&quot;", {L"a", L"b"}},
      {L"<{lumo}>x@co@y", {L"x,y"}},
      {L"<{lumo}>@q@c@q@", {L"\"c\""}},
      {L"<{lumo}>@c@q@c@", {L"\",\""}},
      {L"<{lumo}>@c@,@q@,@dq@", {L",", L"\"", L"\""}},
      {L"<{lumo}>it&apos;s", {L"it's"}},
      {L"<{lumo}>&lt;b&gt;", {L"<b>"}},
      {L"<{lumo}>a@amp@b", {L"a&b"}},
      {L"<{lumo}>a&amp;b", {L"a&amp;b"}},  // a raw ampersand arrives as the player wrote it
      {L"<{lumo}>@amp@lt;", {L"&lt;"}},     // "@amp@" is undone last, making no new "<"
      {L"&lt;{lumo}&gt;a<{lumo}>b", {L"a<{lumo}>b"}},  // the XML form of the marker wins
  };
  for (const Case& c : cases) EXPECT_EQ(decodeArgumentList(c.text), c.arguments) << c.text;
}

TEST(EncodeResult, EscapesQuotesBracketsAndBackslashes) {
  struct Case {
    std::wstring result;
    bool eiReady;
    std::wstring encoded;
  };
  const Case cases[] = {
      {L"", false, L""},
      {L"\"", true, L"&quot;"},
      {L"\"a\"b\"", true, L"&quot;a@q@b&quot;"},
      {L"[\"x\",\"y\"]", true, L"[&quot;x&quot;,&quot;y&quot;]"},
      {L"true", true, L"true"},
      {L"a<{z}>b", true, L"a&lt;{z}&gt;b"},
      {L"a&b", true, L"a&amp;b"},
      {L"R&lt;D", true, L"R&amp;lt;D"},
      {L"\"&\"", true, L"&quot;&amp;&quot;"},
      {L"C:\\x", false, L"C:\\\\x"},
      {L"C:\\x", true, L"C:\\x"},
  };
  for (const Case& c : cases) EXPECT_EQ(encodeResult(c.result, c.eiReady), c.encoded) << c.result;
}

TEST(MovieCall, XmlCallListsEachItemAsAString) {
  EXPECT_EQ(buildXmlMovieCall(L"onFormResize", L"main,640,480", L","),
            L"<invoke name=\"onFormResize\" returntype=\"xml\"><arguments><string>main</string>"
            L"<string>640</string><string>480</string></arguments></invoke>");
}

TEST(MovieCall, XmlCallEscapesItemsAsEntities) {
  EXPECT_EQ(buildXmlMovieCall(L"f", L"a<{z}>&b\"", L"@{}@"),
            L"<invoke name=\"f\" returntype=\"xml\"><arguments>"
            L"<string>a&lt;{z}&gt;&amp;b&quot;</string></arguments></invoke>");
}

TEST(MovieCall, VariableCallJoinsWithTheFieldSeparator) {
  EXPECT_EQ(buildVariableMovieCall(L"vor.__dispatchEvent", L"FormResize{}Application{}{}x<{z}>1", L"{}"),
            L"vor.__dispatchEvent!}}v{}!FormResize!}}v{}!Application!}}v{}!!}}v{}!x<{z}>1");
  EXPECT_EQ(buildVariableMovieCall(L"onAppExit", L"true", L"@{}@"), L"onAppExit!}}v{}!true");
}

TEST(MovieCall, EventCallbackCarriesOneStringWithoutReturnType) {
  EXPECT_EQ(buildEventCallback(L"onFormChangeFocus", L"main,true", L","),
            L"<invoke name=\"VORAS3EVENTCALLBACK\"><arguments><string>"
            L"onFormChangeFocus!}}v{}!main!}}v{}!true</string></arguments></invoke>");
}

TEST(ValueFormat, QuotingHelpers) {
  EXPECT_EQ(unquote(L"\"abc\""), L"abc");
  EXPECT_EQ(unquote(L"true"), L"true");
  EXPECT_EQ(unquote(L"\""), L"\"");  // one quote alone is not a quoted text
  EXPECT_EQ(quoteEscape(L"\"a\"b\""), L"@q@a@q@b@q@");
  EXPECT_EQ(quoteEscape(L"a\"b"), L"a\"b");
}

TEST(ValueFormat, ArrayLiteral) {
  struct Case {
    std::wstring text, separator, literal;
  };
  const Case cases[] = {
      {L"", L"|", L"[]"},
      {L"main|second", L"|", L"[\"main\",\"second\"]"},
      {L"\"a|b\"", L"|", L"[\"a\",\"b\"]"},
      {L"say \"hi\"", L"|", L"[\"say @q@hi@q@\"]"},
      {L"a||b", L"|", L"[\"a\",\"\",\"b\"]"},
  };
  for (const Case& c : cases) EXPECT_EQ(arrayLiteral(c.text, c.separator), c.literal) << c.text;
}

TEST(ValueFormat, Integers) {
  struct Case {
    std::wstring text;
    long value;
  };
  const Case cases[] = {{L"42", 42}, {L"  -7x", -7}, {L"+3", 3}, {L"abc", 0}, {L"", 0}};
  for (const Case& c : cases) EXPECT_EQ(toInteger(c.text), c.value) << c.text;
  EXPECT_EQ(formatInteger(640), L"640");
  EXPECT_EQ(formatInteger(-1), L"-1");
}

}  // namespace
}  // namespace lumo
