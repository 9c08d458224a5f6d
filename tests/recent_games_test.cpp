// The list of games opened before, which a start without a game offers.
#include "platform/recent_games.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

TEST(RecentGames, NewestFirstOnceEachAtMostEightAndOnlyFoldersThatStillHoldAGame) {
  TempDir dir;
  const std::filesystem::path list = dir.path() / "config" / "mokuren" / "recent-games";
  std::vector<std::filesystem::path> games;
  for (int i = 0; i < 10; ++i) {
    games.push_back(dir.path() / ("game" + std::to_string(i)));
    std::filesystem::create_directories(games.back());
    WriteFile(games.back() / (i == 3 ? "script.dat" : "SCRIPT.DAT"), "");  // any letter case
    ASSERT_TRUE(RememberGame(list, games.back()));
  }
  ASSERT_TRUE(RememberGame(list, games[4]));  // opened again: first, and only once
  // The same game again leaves the list's file as it is: it is not replaced at every start.
  struct ::stat before = {};
  struct ::stat after = {};
  ASSERT_EQ(::stat(list.c_str(), &before), 0);
  ASSERT_TRUE(RememberGame(list, games[4]));
  ASSERT_EQ(::stat(list.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  std::filesystem::remove(games[7] / "SCRIPT.DAT");
  EXPECT_EQ(ReadRecentGames(list),
            (std::vector<std::filesystem::path>{games[4], games[9], games[8], games[6], games[5], games[3], games[2]}));
  EXPECT_FALSE(RememberGame(list, "relative/game"));
  EXPECT_TRUE(ReadRecentGames(dir.path() / "no-such-list").empty());
}

}  // namespace
}  // namespace mokuren::testing
