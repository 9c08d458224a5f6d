// Input that no player or scenario writer means to give, met without crashing, filling the memory or
// losing a file: endless and malformed events files, pointers far outside the window, files a crash left
// behind, and a game directory that is not one.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "app/event_script.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

TEST(EventsFileLimits, RefusesEndlessHugeAndDirectoryFilesNamingWhy) {
  TempDir dir;
  EventScript events;
  std::string error;
  EXPECT_FALSE(events.Load("/dev/zero", error));
  EXPECT_NE(error.find("larger than 16 MiB"), std::string::npos) << error;
  EXPECT_FALSE(events.Load(dir.path().string(), error));
  EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
  WriteFile(dir.path() / "long.txt", std::string(EventScript::kMaxFileBytes + 1, '\n'));
  EXPECT_FALSE(events.Load((dir.path() / "long.txt").string(), error));
  // As long as the limit allows, blank lines are no events.
  WriteFile(dir.path() / "long.txt", std::string(EventScript::kMaxFileBytes, '\n'));
  EXPECT_TRUE(events.Load((dir.path() / "long.txt").string(), error)) << error;
}

TEST(EventsFileLimits, LinesAreBoundedFreeOfNulAndQuotedShortly) {
  EventScript events;
  std::string error;
  EXPECT_FALSE(events.Parse("0 move 1 1\n100 name " + std::string(EventScript::kMaxLineBytes, 'a') + "\n", error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_FALSE(events.Parse(std::string("100 screenshot shot\0.png\n", 25), error));
  EXPECT_NE(error.find("NUL"), std::string::npos) << error;
  // Only the first 200 characters of a bad token come back, cut between characters.
  std::string verb;
  for (int i = 0; i < 1000; ++i) verb += "語";
  EXPECT_FALSE(events.Parse("100 " + verb + "\n", error));
  EXPECT_NE(error.find("'" + verb.substr(0, 200 * 3) + "…'"), std::string::npos) << error;
  EXPECT_LT(error.size(), 700u);
  // A byte-order mark, as Windows editors write one, starts the file without being part of its first line.
  ASSERT_TRUE(
      events.Parse("\xEF\xBB\xBF"
                   "100 key Enter\n",
                   error))
      << error;
  EXPECT_EQ(events.events().size(), 1u);
}

class Robustness : public EngineFixture {};

TEST_F(Robustness, PointerAtTheEdgesOfTheCoordinateRangeStaysOutside) {
  BuildTestGame(dir_.path(), TestGame{{{1, "sysmenu 1\n*top\nmsg \"待つ\"\njump top\n"}}, {}, {}});
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  const std::string min = std::to_string(kMin), max = std::to_string(kMax);
  // Over the button row at every pass of the message wait, then clicks from beyond each edge.
  StartEngine("500 move " + min + " 585\n510 move " + max + " 585\n520 move 0 " + min + "\n530 click " + min + " " +
              max + "\n540 click " + max + " " + min + "\n550 rclick " + min + " " + min + "\n600 move 0 " + max +
              "\n");
  Passes(70);
  EXPECT_EQ(Task(), task::MessageWait);
  // The floating window, 416 pixels further down, sees the pointer still below it, not wrapped round.
  EXPECT_EQ(platform().CursorPos(WindowId::Float).y, kMax - 416);
  platform().InjectCursor(WindowId::Float, {0, kMin});
  EXPECT_EQ(platform().CursorPos(WindowId::Main).y, kMin + 416);
  platform().InjectCursor(WindowId::Main, {0, kMin});
  EXPECT_EQ(platform().CursorPos(WindowId::Float).y, kMin);
}

TEST_F(Robustness, ThumbnailsACrashLeftHalfWrittenAreRemovedAtStart) {
  std::filesystem::create_directory(dir_.path() / "THUMB");
  WriteFile(dir_.path() / "THUMB" / "SAVE3.dat", "kept");
  WriteFile(dir_.path() / "THUMB" / "SAVE3.dat.writing", "half");
  WriteFile(dir_.path() / "THUMB" / "SAVE12.dat.writing", "half");
  StartEngine();
  EXPECT_EQ(ReadFile(dir_.path() / "THUMB" / "SAVE3.dat"), "kept");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE3.dat.writing"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE12.dat.writing"));
}

TEST(RobustnessProgram, RefusesAnEndlessEventsFileAndAGameDirectoryThatIsAFile) {
  TempDir dir;
  WriteMinimalGame(dir.path());
  const std::string err = (dir.path() / "err.txt").string();
  EXPECT_EQ(RunProgram("'" + dir.path().string() + "' --headless --events /dev/zero", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("/dev/zero is larger than"), std::string::npos) << ReadFile(err);
  EXPECT_EQ(RunProgram("'" + (dir.path() / "SCRIPT.DAT").string() + "' --headless --max-ms 100", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("SCRIPT.DAT is a file, not a directory"), std::string::npos) << ReadFile(err);
}

}  // namespace
}  // namespace mokuren::testing
