// The projector writer driven directly: the record must be found after any runtime, also one
// whose last bytes begin the marker (the search would step over a marker right behind them).
#include "BuilderTestSupport.h"
#include "ProjectorWriter.h"
#include "RecordFormat.h"
#include "RuntimeCheck.h"

namespace lumo::builder::test {
namespace {

class BuilderWriter : public TempFolderTest {};

TEST_F(BuilderWriter, RecordIsFoundAfterARuntimeEndingInAPartialMarker) {
  const auto marker = record::marker();
  record::ProjectSettings settings;
  settings.version = 11;
  settings.title = L"after a partial marker";
  for (std::size_t k = 0; k < marker.size(); ++k) {
    Bytes runtime = {'M', 'Z', 0x90, 0x90};
    for (std::size_t i = 0; i < k; ++i) runtime.push_back(marker[i]);
    std::string error;
    ASSERT_TRUE(writeProjector(dir / "app.exe", runtime, settings, error)) << error;
    record::ProjectSettings loaded;
    EXPECT_TRUE(loaded.loadFromExecutable(dir / "app.exe")) << "runtime ending in " << k << " marker bytes";
    EXPECT_EQ(loaded.title, settings.title);
    // Only a runtime that ends inside a match gets the separating zero byte.
    EXPECT_EQ(recordPrefix(runtime).size(), k == 0 ? 8u : 9u);
  }
}

TEST_F(BuilderWriter, RuntimeHoldingTheMarkerIsRefused) {
  const auto marker = record::marker();
  Bytes runtime = runtimeStandIn();
  EXPECT_FALSE(checkRuntime(runtime));
  for (const std::uint8_t b : marker) runtime.push_back(b);
  runtime.push_back(0);
  EXPECT_TRUE(holdsMarker(runtime));
  EXPECT_TRUE(checkRuntime(runtime));
}

}  // namespace
}  // namespace lumo::builder::test
