// The branch explorer plays a game through every choice: the demo in full, and on a small game of our
// own the message no path reaches and the branch that stops without a way on, with the choice that led there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "explorer/explore_report.h"
#include "explorer/game_explorer.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

TEST(Explorer, PlaysEveryMessageOfTheDemoWithNoFault) {
  TempDir work;
  explorer::ExploreOptions options;
  options.game = std::string(MOKUREN_BIN_DIR) + "/demo-game";
  options.work = work.path();
  const explorer::ExploreResult result = explorer::Explore(options);
  const explorer::ExploreSummary summary = explorer::Summarize(result);
  EXPECT_TRUE(result.Complete());
  EXPECT_GT(summary.messages, 30u);
  EXPECT_EQ(summary.messagesReached, summary.messages);
  for (const explorer::Unreached& u : summary.unreached) ADD_FAILURE() << u.script << ":" << u.step << " " << u.text;
  for (const explorer::MetError& e : result.errors) ADD_FAILURE() << e.line;
  EXPECT_EQ(summary.deadEnds, 0u);
  EXPECT_TRUE(summary.clean);
}

TEST(Explorer, ReportsTheMessageNeverReachedAndTheDeadEndWithItsChoice) {
  TempDir game, work;
  BuildTestGame(game.path(), TestGame{{{1,
                                        "title\n"
                                        "choice \"右へ,左へ\"\n"
                                        "if W1 == 1\n"
                                        "  msg \"右へ進んだ。\"\n"
                                        "  title\n"
                                        "  msg \"ここには届かない。\"\n"
                                        "endif\n"
                                        "bg \"BG03\"\n"
                                        "msg \"ミナ「行き止まりだ。」\", \"V404\"\n"}},
                                      {},
                                      {}});
  const std::string out = (work.path() / "out.txt").string();
  const std::string html = (work.path() / "explore.html").string();
  const std::string command = std::string(MOKUREN_BIN_DIR) + "/mokuren-test --explore '" + game.path().string() +
                              "' --results '" + (work.path() / "results").string() + "' --html '" + html + "' >'" +
                              out + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string text = ReadFile(out);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << text;
  EXPECT_NE(text.find("messages 2 / 3"), std::string::npos) << text;
  EXPECT_NE(text.find("never reached: script 1 step 5 message ここには届かない。"), std::string::npos) << text;
  EXPECT_NE(text.find("DEAD END: script 1 reaches its end at step 9 with no return or jump"), std::string::npos)
      << text;
  // A missing picture, and a voice the fast-forward passes over without playing, each with its choice.
  EXPECT_NE(text.find("error list: script 1 step 7: picture \"BG03\" is not in GRAPHIC.DAT's name list; nothing is "
                      "shown\n    after: 左へ\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("error list: script 1 step 8: VOICE/V404.ogg"), std::string::npos) << text;
  EXPECT_EQ(text.find("no error"), std::string::npos) << text;
  EXPECT_NE(ReadFile(html).find("ここには届かない。"), std::string::npos);
}

}  // namespace
}  // namespace mokuren::testing
