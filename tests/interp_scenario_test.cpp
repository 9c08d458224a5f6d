// Scenarios in the scenario language, run by the real program headless and checked through the
// debug window's dumps (the events file's debug verb) and the bytes of SAVE.DAT.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <sstream>

#include "app/engine_state.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class InterpScenario : public ::testing::Test {
 protected:
  // Builds the game, runs it for `ms` of virtual time with the events, and returns its exit status.
  int Play(const std::map<int, std::string>& scripts, const std::string& events, int ms) {
    TestGame game;
    game.scripts = scripts;
    BuildTestGame(dir_.path(), game);
    WriteFile(Path("events.txt"), events);
    // Started in the game directory, so the dumps the events name land there.
    return RunProgramIn(dir_.path(),
                        "'" + dir_.path().string() + "' --headless --max-ms " + std::to_string(ms) + " --events '" +
                            Path("events.txt") + "'",
                        {}, Path("stderr.txt"));
  }

  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }

  // The variables of a "debug FLG" dump by name ("F1", "S451", "W2").
  std::map<std::string, int> Vars(const std::string& file) {
    std::map<std::string, int> vars;
    std::istringstream in(ReadFile(Path(file)));
    std::string item;
    while (in >> item) {
      auto colon = item.find(':');
      if (colon == std::string::npos || item.rfind("--", 0) == 0) continue;
      vars[item.substr(0, colon)] = std::stoi(item.substr(colon + 1));
    }
    return vars;
  }

  int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  TempDir dir_;
};

TEST_F(InterpScenario, ArithmeticWrapsDividesByZeroToZeroAndDrawsInRange) {
  const std::string script =
      "F1 = 32767 + 1\n"
      "F2 = -7 / 2\n"
      "F3 = -7 % 2\n"
      "F4 = 5 / 0\n"
      "F5 = 5 % 0\n"
      "F6 = 300 * 300\n"
      "F7 = -32768 - 1\n"
      "W3 = 0\n"
      "*draw\n"
      "W1 = random 5, 2\n"
      "if W1 < 2\n"
      "  F8 = F8 + 1\n"
      "endif\n"
      "if W1 > 5\n"
      "  F8 = F8 + 1\n"
      "endif\n"
      "W2 = W1 - 2\n"
      "if W2 == 0\n  F10 = 1\nelseif W2 == 3\n  F13 = 1\nendif\n"
      "W3 = W3 + 1\n"
      "if W3 < 200\n  jump draw\nendif\n"
      "let 9, 1\n"  // a number as the target stores nothing
      "wait click\n";
  ASSERT_EQ(Play({{1, script}}, "3000 debug FLG flg.txt\n", 3100), 0) << ReadFile(Path("stderr.txt"));
  auto v = Vars("flg.txt");
  EXPECT_EQ(v["F1"], -32768);
  EXPECT_EQ(v["F2"], -3);
  EXPECT_EQ(v["F3"], -1);
  EXPECT_EQ(v["F4"], 0);
  EXPECT_EQ(v["F5"], 0);
  EXPECT_EQ(v["F6"], 90000 - 65536);
  EXPECT_EQ(v["F7"], 32767);
  EXPECT_EQ(v["W3"], 200);
  EXPECT_EQ(v["F8"], 0);   // never outside 2..5
  EXPECT_EQ(v["F10"], 1);  // both ends drawn
  EXPECT_EQ(v["F13"], 1);
  EXPECT_EQ(v["F9"], 0);
}

TEST_F(InterpScenario, BlocksAreFoundByNumberAndTheFirstLabelOfANameWins) {
  const std::string script =
      "W1 = 1\n"
      "ifeq 5, W1, 2\n"  // fails: goes on after the next marker of block 5...
      "  F1 = 1\n"
      "  endif 6\n"  // ...not this one, of another block
      "  F2 = 1\n"
      "else 5\n"
      "  F3 = 1\n"  // the else part
      "endif 5\n"
      "jump twice\n"
      "*twice\n"
      "F4 = 1\n"
      "jump done\n"
      "*twice\n"
      "F4 = 2\n"
      "*done\n"
      "W2 = W2 + 1\n"
      "if W2 == 1\n"
      "  jump nowhere\n"  // no such label: the script starts again from its top
      "endif\n"
      "wait click\n";
  ASSERT_EQ(Play({{1, script}}, "500 debug FLG flg.txt\n", 600), 0);
  auto v = Vars("flg.txt");
  EXPECT_EQ(v["F1"], 0);
  EXPECT_EQ(v["F2"], 0);
  EXPECT_EQ(v["F3"], 1);
  EXPECT_EQ(v["F4"], 1);
  EXPECT_EQ(v["W2"], 2);
}

TEST_F(InterpScenario, CallsReturnAcrossScriptsAndAReturnWithNothingToReturnToGoesOn) {
  const std::map<int, std::string> scripts = {
      {1,
       "return\n"  // nothing to return to: goes on
       "F1 = 1\n"
       "call sub, 2\n"  // step 2
       "F3 = F2 + 1\n"
       "call stay, 2\n"  // step 4
       "F9 = 1\n"
       "wait click\n"},
      {2,
       "*sub\n"
       "F2 = 10\n"
       "return\n"
       "*stay\n"
       "F4 = 1\n"
       "wait click\n"},
  };
  ASSERT_EQ(Play(scripts, "500 debug FLG flg.txt\n500 debug RT rt.txt\n500 debug status status.txt\n", 600), 0);
  auto v = Vars("flg.txt");
  EXPECT_EQ(v["F1"], 1);
  EXPECT_EQ(v["F2"], 10);
  EXPECT_EQ(v["F3"], 11);
  EXPECT_EQ(v["F4"], 1);
  EXPECT_EQ(v["F9"], 0);
  EXPECT_EQ(ReadFile(Path("rt.txt")), "1 4\n0 0\n0 0\n0 0\n0 0\n0 0\n");
  // Waiting for a click in script 2 at step 5, after the call.
  const std::string status = ReadFile(Path("status.txt"));
  EXPECT_EQ(status.substr(0, status.find('\n')), "TC:8388866 NO:2 ST:5 CD:128 P1:-1 P2:0 P3:0");
}

TEST_F(InterpScenario, ReadMarksReachSaveDatAtTheirByteAndBit) {
  std::string two = "*start\njump m9\n";
  for (int m = 0; m < 9; ++m) two += "msg \"" + std::to_string(m) + "\"\n";
  two += "*m9\nmsg \"9\"\njump start14, 14\n";
  const std::map<int, std::string> scripts = {
      {1, "jump start, 2\n"},
      {2, two},
      {14, "*start14\nmsg \"a\"\njump start15, 15\n"},
      {15, "*start15\nmsg \"b\"\n*stay\nwait click\njump stay\n"},
  };
  std::string events;
  for (int t = 1000; t <= 6000; t += 500) events += std::to_string(t) + " key Enter\n";
  events += "7000 debug status status.txt\n";
  ASSERT_EQ(Play(scripts, events, 7100), 0) << ReadFile(Path("stderr.txt"));
  ASSERT_EQ(ReadFile(Path("status.txt")).substr(0, 20), "TC:8388866 NO:15 ST:");
  const std::string save = ReadFile(Path("SAVE.DAT"));
  ASSERT_EQ(save.size(), kSaveFileSize);
  const size_t marks = offsetof(SaveBlock, ReadMarks);
  auto byte = [&](size_t at) { return static_cast<uint8_t>(save[marks + at]); };
  EXPECT_EQ(byte(2 * 16384 + 1), 0x02);                                         // message 9 of script 2
  EXPECT_EQ(byte(2 * 16384), 0x00);                                             // messages 0-8 were jumped over
  EXPECT_EQ(byte(14 * 16384), 0x01);                                            // message 0 of script 14
  for (size_t i = 15 * 16384; i < 16 * 16384; ++i) ASSERT_EQ(byte(i), 0) << i;  // script 15 has no marks
}

TEST_F(InterpScenario, MalformedScriptsAreReportedAndTheProgramStaysResponsive) {
  const std::map<int, std::string> scripts = {
      {1,
       "raw 80, 1, 0, 1, 0, 0, 0\n"      // F0 = 1
       "raw 80, 9, 600, 600, 0, 0, 0\n"  // F600 = S600
       "*deep\n"
       "W2 = W2 + 1\n"
       "if W2 < 20\n"
       "  call deep\n"  // step 5: 19 nested calls
       "endif\n"
       "jump spin, 2\n"},
      {2,
       "*spin\n"
       "W3 = W3 + 1\n"
       "ifeq 9, 0, 1\n"  // fails, and block 9 has no marker: the script restarts without ever yielding
       "wait click\n"},
  };
  ASSERT_EQ(Play(scripts, "400 debug FLG flg.txt\n450 debug RT rt.txt\n", 500), 0);
  const std::string err = ReadFile(Path("stderr.txt"));
  EXPECT_EQ(Count(err, "variable number 0 (F) is outside 1-512"), 1) << err;
  EXPECT_EQ(Count(err, "variable number 600 (S) is outside 1-512"), 1);
  EXPECT_EQ(Count(err, "variable number 600 (F) is outside 1-512"), 1);
  EXPECT_EQ(Count(err, "17th nested call"), 1);
  EXPECT_EQ(Count(err, "without a message, wait or jump"), 1);
  // The events still ran while the script spun.
  auto v = Vars("flg.txt");
  EXPECT_EQ(v["W2"], 20);
  EXPECT_GT(v["W3"], 1000);
  EXPECT_EQ(ReadFile(Path("rt.txt")), "1 5\n1 5\n1 5\n1 5\n1 5\n1 5\n");
}

TEST_F(InterpScenario, AScriptWithFaultsEverywhereListsTheFirstThousandAndRunsOn) {
  // 1100 places that read a variable beyond 512, restarted without ever yielding: each pass meets a
  // million faults, almost all of them already listed.
  std::string script;
  for (int n = 0; n < 1100; ++n) script += "raw 80, 9, 1, " + std::to_string(600 + n) + ", 0, 0, 0\n";
  script += "W3 = W3 + 1\nifeq 9, 0, 1\nwait click\n";
  ASSERT_EQ(Play({{1, script}}, "50 debug FLG flg.txt\n", 100), 0);
  const std::string err = ReadFile(Path("stderr.txt"));
  EXPECT_EQ(Count(err, "is outside 1-512; it reads as 0"), 1000);
  EXPECT_EQ(Count(err, "too many faults"), 1);
  EXPECT_GT(Vars("flg.txt")["W3"], 1000);
}

}  // namespace
}  // namespace mokuren::testing
