// The as2c program: a good source becomes a movie; a bad one leaves no file behind and says
// where the fault is.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct As2cRun {
  int status;
  std::string errors;
};

As2cRun runAs2c(const std::string& arguments, const fs::path& folder) {
  const fs::path errors = folder / "errors.txt";
  const std::string command = std::string(AS2C_PROGRAM) + " " + arguments + " 2>" + errors.string();
  const int status = std::system(command.c_str());
  std::ifstream in(errors);
  std::stringstream text;
  text << in.rdbuf();
  return {WEXITSTATUS(status), text.str()};
}

class As2cProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("as2c-test-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path write(const char* name, const char* text) {
    std::ofstream(folder_ / name) << text;
    return folder_ / name;
  }
  fs::path folder_;
};

TEST_F(As2cProgramTest, WritesTheMovie) {
  const fs::path source = write("good.as", "trace(\"hi\");\n");
  const fs::path movie = folder_ / "good.swf";
  const As2cRun run = runAs2c("--swf-version 7 -o " + movie.string() + " " + source.string(), folder_);
  EXPECT_EQ(run.status, 0) << run.errors;
  ASSERT_TRUE(fs::exists(movie));
  std::ifstream in(movie, std::ios::binary);
  char header[4] = {};
  in.read(header, 4);
  EXPECT_EQ(std::string(header, 3), "FWS");
  EXPECT_EQ(header[3], 7);
}

TEST_F(As2cProgramTest, AnErrorNamesFileLineAndColumnAndWritesNothing) {
  const fs::path source = write("bad.as", "var a = 1;\nvar b = (a;\n");
  const fs::path movie = folder_ / "bad.swf";
  const As2cRun run = runAs2c("-o " + movie.string() + " " + source.string(), folder_);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.errors, source.string() + ":2:11: error: expected ')', found ';'\n");
  EXPECT_FALSE(fs::exists(movie));
  EXPECT_FALSE(fs::exists(folder_ / "bad.swf.tmp"));
}

TEST_F(As2cProgramTest, RefusesBadUsage) {
  const fs::path source = write("ok.as", "x = 1;");
  for (const std::string& arguments : {std::string("--swf-version 4 -o x.swf ") + source.string(),
                                      std::string("--tag bogus -o x.swf ") + source.string(), source.string()}) {
    EXPECT_EQ(runAs2c(arguments, folder_).status, 2) << arguments;
  }
}

}  // namespace
