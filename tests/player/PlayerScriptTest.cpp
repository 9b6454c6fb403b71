// Movie scripts acting as ActionScript would: ExternalInterface calls and callbacks, expect,
// fscommand, variables, resources, waits and a person's actions on the window.
#include <gtest/gtest.h>

#include "PlayerHarness.h"

using namespace player_test;

namespace {

std::string errorLine(int number) {
  std::string line = "error line ";
  line += std::to_string(number);
  return line + ":";
}

class PlayerScript : public ScriptedPlayerTest {};

TEST_F(PlayerScript, CallRaisesFlashCallWithTheInvokeXmlAndKeepsTheDecodedAnswer) {
  sink->answer = L"<string>a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;</string>";
  run("call vor.test \"x & <y> \\\"z\\\" 'w'\" plain\n"
      "expect \"a & b <c> \\\"d\\\" 'e'\"\n");
  ASSERT_EQ(1, sink->count(flash::kDispFlashCall));
  for (const auto& e : sink->events) {
    if (e.id != flash::kDispFlashCall) continue;
    EXPECT_EQ(L"<invoke name=\"vor.test\" returntype=\"xml\"><arguments>"
              L"<string>x &amp; &lt;y&gt; &quot;z&quot; &apos;w&apos;</string><string>plain</string>"
              L"</arguments></invoke>",
              e.args.at(0));
  }
  EXPECT_TRUE(transcript->has("PASS ")) << dump();
  EXPECT_TRUE(transcript->has("call vor.test \"x & <y> \\\"z\\\" 'w'\" \"plain\" -> \"a & b <c> \\\"d\\\" 'e'\""))
      << dump();
}

TEST_F(PlayerScript, ExpectFailsOnAnotherValueAndOnACallNobodyAnswered) {
  sink->answer = L"<string>yes</string>";
  run("call first\n"
      "expect no\n"
      "call second\n");
  EXPECT_TRUE(transcript->has("FAIL line 2 expected \"no\" got \"yes\"")) << dump();
  sink->answer.reset();
  EXPECT_TRUE(transcript->has("call first -> \"yes\""));
  EXPECT_TRUE(transcript->has("call second -> \"yes\"")) << "same sink answer";
}

TEST_F(PlayerScript, ValueFormsOtherThanStringsReadAsTheMovieSeesThem) {
  struct {
    const wchar_t* xml;
    const char* value;
  } forms[] = {{L"<number>42</number>", "42"}, {L"<true/>", "true"}, {L"<null/>", "null"}, {L"<string></string>", ""}};
  std::string script;
  for (size_t i = 0; i < std::size(forms); ++i)
    script += "call f" + std::to_string(i) + "\nexpect \"" + forms[i].value + "\"\n";
  // The sink answers each call with the next form.
  for (const auto& f : forms) sink->answers.push_back(f.xml);
  run(script);
  int passes = 0;
  for (const std::string& l : transcript->lines()) passes += l.rfind("PASS ", 0) == 0;
  EXPECT_EQ(static_cast<int>(std::size(forms)), passes) << dump();
}

TEST_F(PlayerScript, CallFunctionAnswersRegisteredCallbacksOnly) {
  run("callback ping pong\ncallback quiet\n");
  BSTR request = bstr(L"<invoke name=\"ping\" returntype=\"xml\"><arguments><string>a&amp;b</string></arguments></invoke>");
  BSTR response = nullptr;
  ASSERT_EQ(S_OK, player->CallFunction(request, &response));
  EXPECT_STREQ(L"<string>pong</string>", response);
  SysFreeString(response);
  SysFreeString(request);

  request = bstr(L"<invoke name=\"quiet\" returntype=\"xml\"><arguments></arguments></invoke>");
  ASSERT_EQ(S_OK, player->CallFunction(request, &response));
  EXPECT_STREQ(L"<undefined/>", response);
  SysFreeString(response);
  SysFreeString(request);

  request = bstr(L"<invoke name=\"nobody\" returntype=\"xml\"><arguments></arguments></invoke>");
  response = nullptr;
  EXPECT_EQ(E_FAIL, player->CallFunction(request, &response));
  EXPECT_EQ(nullptr, response);
  SysFreeString(request);
  EXPECT_TRUE(transcript->has("callfunction \"<invoke name=\\\"ping\\\"")) << dump();
  EXPECT_TRUE(transcript->has("callfunction \"<invoke name=\\\"nobody\\\"")) << dump();
}

TEST_F(PlayerScript, SetReturnValueOutsideACallIsRefused) {
  BSTR value = bstr(L"<string>late</string>");
  EXPECT_EQ(E_FAIL, player->SetReturnValue(value));
  SysFreeString(value);
}

TEST_F(PlayerScript, FsCommandRaisesTheEventWithItsArgumentsLastFirst) {
  run("fscommand quit \"now please\"\n");
  ASSERT_EQ(1, sink->count(flash::kDispFSCommand));
  for (const auto& e : sink->events) {
    if (e.id != flash::kDispFSCommand) continue;
    ASSERT_EQ(2u, e.args.size());
    EXPECT_EQ(L"now please", e.args[0]);
    EXPECT_EQ(L"quit", e.args[1]);
  }
}

TEST_F(PlayerScript, FlashVarsAndHostVariablesAreSeenByTheMovie) {
  BSTR vars = bstr(L"name=Lumo%20Player&empty=&plus=a+b");
  player->put_FlashVars(vars);
  SysFreeString(vars);
  run("var name\nexpect \"Lumo Player\"\nvar plus\nexpect \"a b\"\nvar empty\nexpect \"\"\n"
      "set mine 5\nlog \"the end\" of it\n");
  int passes = 0;
  for (const std::string& l : transcript->lines()) passes += l.rfind("PASS ", 0) == 0;
  EXPECT_EQ(3, passes) << dump();
  BSTR name = bstr(L"mine"), value = nullptr;
  ASSERT_EQ(S_OK, player->GetVariable(name, &value));
  EXPECT_STREQ(L"5", value);
  SysFreeString(value);
  SysFreeString(name);
  EXPECT_TRUE(transcript->has("getvariable \"mine\" \"5\""));
  EXPECT_TRUE(transcript->has("log \"the end of it\""));
}

TEST_F(PlayerScript, ResourcesLoadRelativeToTheMovieAndWaitsPause) {
  std::wstring data = folder.file(L"data.txt");
  HANDLE f = CreateFileW(data.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(f, "12345", 5, &written, nullptr);
  CloseHandle(f);
  DWORD start = GetTickCount();
  run("load data.txt\nload missing.txt\nwait 300\nlog done\n");
  EXPECT_GE(GetTickCount() - start, 250u);
  ASSERT_TRUE(transcript->waitFor("resource-failed "));
  EXPECT_TRUE(transcript->waitFor("resource ")) << dump();
  bool sized = false;
  for (const std::string& l : transcript->lines()) sized |= l.rfind("resource ", 0) == 0 && l.find("bytes 5") != std::string::npos;
  EXPECT_TRUE(sized) << dump();
}

TEST_F(PlayerScript, SoundPlaysThroughWaveOutOrReportsWhyNot) {
  run("sound 50 880\nwait 200\nlog after\n");
  pumpFor(100);
  bool played = transcript->has("sound 50 880"), refused = transcript->has("sound-failed ");
  EXPECT_TRUE(played || refused) << dump();
  EXPECT_TRUE(transcript->has("log \"after\""));
}

TEST_F(PlayerScript, UnknownCommandsAreReportedAndTheScriptGoesOn) {
  run("# a comment\nfly away\ndraw rect 1 2\nlog still\n");
  EXPECT_TRUE(transcript->has("error line 2: unknown command \"fly\"")) << dump();
  EXPECT_TRUE(transcript->has("error line 3:")) << dump();
  EXPECT_TRUE(transcript->has("log \"still\""));
}

// The host's calls and variables run the script's `on` blocks with their arguments, and the
// script's main flow waits on them by count instead of by time.
TEST_F(PlayerScript, OnBlocksAnswerCallsAndWatchedVariablesAndWaitForResumesOnTheirHits) {
  run("on greet\n"
      "  expect-arg 1 Ann\n"
      "  log hello $1 ($*)\n"
      "  return \"hi $1\"\n"
      "  log never\n"
      "end\n"
      "watch level\n"
      "on level\n"
      "  log level is $1\n"
      "end\n"
      "log waiting\n"
      "wait-for greet 2\n"
      "wait-for level\n"
      "log resumed\n",
      "log \"waiting\"");
  auto callGreet = [&](const wchar_t* name) {
    std::wstring xml = L"<invoke name=\"greet\" returntype=\"xml\"><arguments><string>";
    xml += name;
    xml += L"</string><string>x &amp; y</string></arguments></invoke>";
    BSTR request = bstr(xml.c_str());
    BSTR response = nullptr;
    EXPECT_EQ(S_OK, player->CallFunction(request, &response));
    std::wstring answer = response ? response : L"";
    SysFreeString(response);
    SysFreeString(request);
    return answer;
  };
  EXPECT_EQ(L"<string>hi Ann</string>", callGreet(L"Ann"));
  pumpFor(100);
  EXPECT_FALSE(transcript->has("log \"resumed\"")) << "one hit of two\n" << dump();
  EXPECT_EQ(L"<string>hi Bob</string>", callGreet(L"Bob"));
  BSTR name = bstr(L"level"), value = bstr(L"3");
  EXPECT_EQ(S_OK, player->SetVariable(name, value));
  SysFreeString(name);
  SysFreeString(value);
  ASSERT_TRUE(transcript->waitFor("end")) << dump();
  EXPECT_TRUE(transcript->has("PASS line 2 arg 1 expected \"Ann\" got \"Ann\"")) << dump();
  EXPECT_TRUE(transcript->has("FAIL line 2 arg 1 expected \"Ann\" got \"Bob\"")) << dump();
  EXPECT_TRUE(transcript->has("log \"hello Ann (Ann x & y)\"")) << dump();
  EXPECT_TRUE(transcript->has("return \"hi Ann\""));
  EXPECT_TRUE(transcript->has("log \"level is 3\"")) << dump();
  EXPECT_FALSE(transcript->has("log \"never\"")) << "return ends the block";
  EXPECT_TRUE(transcript->has("log \"resumed\""));
}

// Hits of a watched variable count from its `watch` line: a movie that watches right before
// it acts waits only for what follows (the end-to-end tests rely on this).
TEST_F(PlayerScript, AWatchedVariableCountsHitsOnlyFromItsWatchLine) {
  run("callback go\n"
      "log waiting\n"
      "wait-for go\n"
      "watch flag\n"
      "wait-for flag 1 300\n"
      "log after\n",
      "log \"waiting\"");
  BSTR flag = bstr(L"flag"), early = bstr(L"early");
  EXPECT_EQ(S_OK, player->SetVariable(flag, early));
  SysFreeString(flag);
  SysFreeString(early);
  BSTR request = bstr(L"<invoke name=\"go\" returntype=\"xml\"><arguments></arguments></invoke>");
  BSTR response = nullptr;
  EXPECT_EQ(S_OK, player->CallFunction(request, &response));
  SysFreeString(response);
  SysFreeString(request);
  ASSERT_TRUE(transcript->waitFor("end")) << dump();
  EXPECT_TRUE(transcript->has("FAIL line 5 wait-for flag hit 0 of 1 timeout")) << "the early set counted\n" << dump();
}

TEST_F(PlayerScript, WaitForTimesOutWithAFailLineAndBlockMisuseIsAnError) {
  run("callback quiet\n"
      "wait-for quiet 1 100\n"
      "return 1\n"
      "expect-arg 1 x\n"
      "end\n"
      "wait-for quiet 0\n"
      "on open\n"
      "log after\n");
  EXPECT_TRUE(transcript->has("FAIL line 2 wait-for quiet hit 0 of 1 timeout")) << dump();
  for (int line : {3, 4, 5, 6, 7})
    EXPECT_TRUE(transcript->has(errorLine(line))) << dump();
  EXPECT_TRUE(transcript->has("log \"after\""));
}

// The player's parser refuses XML that is not well-formed: an answer reads as undefined, a
// request calls nothing; both leave a bad-xml line.
TEST_F(PlayerScript, XmlThatIsNotWellFormedIsLoggedAndTreatedAsUndefined) {
  const struct {
    const wchar_t* answer;
    const char* value;
  } answers[] = {
      {L"<string>a &amp; b</string>", "a & b"},
      {L"<string>a & b</string>", "undefined"},
      {L"<string>a < b</string>", "undefined"},
      {L"<string>open", "undefined"},
      {L"<string>x</number>", "undefined"},
      {L"<string>R&amp;lt;D</string>", "R&lt;D"},
  };
  std::string script;
  for (size_t i = 0; i < std::size(answers); ++i) {
    sink->answers.push_back(answers[i].answer);
    script += "call f" + std::to_string(i) + "\nexpect \"" + answers[i].value + "\"\n";
  }
  run("callback ping pong\n" + script);
  for (const std::string& l : transcript->lines()) EXPECT_NE(0u, l.rfind("FAIL ", 0)) << dump();
  EXPECT_TRUE(transcript->has("bad-xml \"<string>a & b</string>\"")) << dump();

  for (const wchar_t* request : {L"<invoke name=\"ping\" returntype=\"xml\"><arguments><string>a&b</string></arguments></invoke>",
                                 L"<invoke name=\"ping\"><arguments><string>a<b</string></arguments></invoke>",
                                 L"<invoke returntype=\"xml\"><arguments></arguments></invoke>"}) {
    BSTR text = bstr(request);
    BSTR response = nullptr;
    EXPECT_EQ(E_FAIL, player->CallFunction(text, &response)) << narrow(request);
    EXPECT_EQ(nullptr, response);
    SysFreeString(text);
  }
  int bad = 0;
  for (const std::string& l : transcript->lines()) bad += l.rfind("bad-xml ", 0) == 0;
  EXPECT_EQ(4 + 3, bad) << dump();
}

// ExternalInterface exists from SWF 8 on: an older movie cannot call out or be called.
TEST_F(PlayerScript, MoviesBelowSwf8HaveNoExternalInterface) {
  for (int version : {7, 8}) {
    auto movie = makeMovie(160, 120, 0xFFFFFF, "callback ping pong\ncall vor.hasEI\nlog v" + std::to_string(version) + "\n");
    movie.version = static_cast<uint8_t>(version);
    ASSERT_EQ(S_OK, activate(site, OLEIVERB_UIACTIVATE));
    ASSERT_TRUE(loadMovie(writeMovie(folder.file(L"v" + std::to_wstring(version) + L".swf"), movie)));
    ASSERT_TRUE(transcript->waitFor("log \"v" + std::to_string(version))) << dump();
    BSTR text = bstr(L"<invoke name=\"ping\" returntype=\"xml\"><arguments></arguments></invoke>");
    BSTR response = nullptr;
    EXPECT_EQ(version >= 8 ? S_OK : E_FAIL, player->CallFunction(text, &response)) << version;
    SysFreeString(response);
    SysFreeString(text);
  }
  EXPECT_TRUE(transcript->has("error line 2: no ExternalInterface below SWF 8")) << dump();
  EXPECT_EQ(1, sink->count(flash::kDispFlashCall)) << "only the SWF 8 movie called out";
}

// The members a host calls by early binding, reached by their vtable number and not through
// the header's declarations, so a slot that moved would be caught.
TEST_F(PlayerScript, HostMembersAnswerByTheirVtableNumbers) {
  ASSERT_EQ(S_OK, activate(site, OLEIVERB_UIACTIVATE));
  IUnknown* p = player.Get();
  std::wstring path = writeMovie(folder.file(L"slots.swf"), makeMovie(160, 120, 0xFFFFFF, "callback ping pong\n"));
  BSTR url = bstr(path.c_str());
  ASSERT_EQ(S_OK, callSlot(p, 58, 0, url));  // LoadMovie(layer 0, url)
  SysFreeString(url);
  ASSERT_TRUE(transcript->waitFor("end")) << dump();
  BSTR target = bstr(L"/"), label = bstr(L"start");
  EXPECT_EQ(S_OK, callSlot(p, 60, target, label));  // TGotoLabel
  SysFreeString(target);
  SysFreeString(label);
  EXPECT_EQ(S_OK, callSlot(p, 29));         // Stop
  EXPECT_EQ(S_OK, callSlot(p, 34, 0L));     // GotoFrame
  BSTR request = bstr(L"<invoke name=\"ping\" returntype=\"xml\"><arguments></arguments></invoke>");
  BSTR response = nullptr;
  EXPECT_EQ(S_OK, callSlot(p, 93, request, &response));  // CallFunction
  EXPECT_STREQ(L"<string>pong</string>", response);
  SysFreeString(response);
  SysFreeString(request);
  BSTR late = bstr(L"<string>late</string>");
  EXPECT_EQ(E_FAIL, callSlot(p, 94, late));  // SetReturnValue outside a FlashCall
  SysFreeString(late);
  EXPECT_TRUE(transcript->has("movie ")) << dump();
  EXPECT_TRUE(transcript->has("tgotolabel \"/\" \"start\"")) << dump();
  EXPECT_TRUE(transcript->has("stop")) << dump();
  EXPECT_TRUE(transcript->has("gotoframe 0")) << dump();
}

}  // namespace
