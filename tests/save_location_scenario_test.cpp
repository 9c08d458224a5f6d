// A game directory the player cannot write (a package's, a read-only medium): the saves go to the game's
// folder in the user's data directory, the saves already in the game directory come along the first
// time, the player is told once, and the next run loads from there.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "app/engine_state.h"
#include "base/text_codec.h"
#include "save/save_location.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

constexpr uid_t kNobody = 65534;

class ReadOnlyGame : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = top_.path() / "Sakura Game";
    data_ = top_.path() / "data";
    std::filesystem::create_directories(game_);
    std::filesystem::create_directories(data_);
    WriteMinimalGame(game_);
    setenv("XDG_DATA_HOME", data_.c_str(), 1);
    // Root writes anywhere: the runs then drop to an ordinary user who owns both folders.
    if (geteuid() == 0) {
      ASSERT_EQ(chown(data_.c_str(), kNobody, kNobody), 0);
      ASSERT_EQ(chown(game_.c_str(), kNobody, kNobody), 0);
    }
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    chmod(game_.c_str(), 0755);
  }

  // Runs the program headless on the game; returns its exit status and keeps its standard error.
  int Run(const std::string& events, std::string& err) {
    const std::filesystem::path eventsFile = data_ / "events.txt", errFile = data_ / "err.txt",
                                trace = data_ / "trace.txt";
    WriteFile(eventsFile, events);
    std::filesystem::remove(trace);
    pid_t pid = fork();
    if (pid == 0) {
      if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
      setenv("HOME", data_.c_str(), 1);
      if (!freopen(errFile.c_str(), "w", stderr)) _exit(126);
      const std::string exe = ProgramPath();
      execl(exe.c_str(), exe.c_str(), game_.c_str(), "--headless", "--max-ms", "500", "--events", eventsFile.c_str(),
            "--trace", trace.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = WaitForProgram(pid);
    err = ReadFile(errFile);
    trace_ = ReadFile(trace);
    return status;
  }
  SaveBlock Saved(const std::filesystem::path& file) {
    SaveBlock block{};
    const std::string bytes = ReadFile(file);
    EXPECT_EQ(bytes.size(), sizeof block);
    if (bytes.size() == sizeof block) std::memcpy(&block, bytes.data(), sizeof block);
    return block;
  }

  TempDir top_;
  std::filesystem::path game_, data_;
  std::string trace_;
};

TEST_F(ReadOnlyGame, SavesGoToTheUserDataFolderAndLoadFromThereNextRun) {
  std::string err;
  // Played once while the folder could be written: slot 5 and its thumbnail in the game directory.
  ASSERT_EQ(Run("100 save 5\n", err), 0) << err;
  ASSERT_EQ(chmod(game_.c_str(), 0555), 0);
  const std::string original = ReadFile(game_ / "SAVE.DAT");
  ASSERT_TRUE(Saved(game_ / "SAVE.DAT").Slot(5).Used);

  ASSERT_EQ(Run("100 save 7\n", err), 0) << err;
  const std::filesystem::path folder = UserSaveDirectory(game_);
  EXPECT_EQ(folder.parent_path(), data_ / "mokuren");
  EXPECT_TRUE(folder.filename().string().starts_with("Sakura Game-")) << folder;
  EXPECT_NE(err.find(folder.string()), std::string::npos) << err;
  const SaveBlock moved = Saved(folder / "SAVE.DAT");
  EXPECT_TRUE(moved.Slot(5).Used);
  EXPECT_TRUE(moved.Slot(7).Used);
  EXPECT_TRUE(std::filesystem::exists(folder / "THUMB" / "SAVE5.dat"));
  EXPECT_TRUE(std::filesystem::exists(folder / "THUMB" / "SAVE7.dat"));
  EXPECT_EQ(ReadFile(game_ / "SAVE.DAT"), original);

  // The next run is told nothing new and loads slot 7 from the data folder (the restore task runs).
  ASSERT_EQ(Run("100 load 7\n", err), 0) << err;
  EXPECT_EQ(err.find(folder.string()), std::string::npos) << err;
  EXPECT_NE(trace_.find("TC=800001"), std::string::npos) << trace_;
  EXPECT_EQ(ReadFile(game_ / "SAVE.DAT"), original);
}

// A folder name of 250 bytes leaves no room for the hash in a file name of at most 255: the name is
// cut, never inside a character, and two such folders still keep apart.
TEST(SaveLocation, ALongGameFolderNameIsCutAtACharacterAndKeepsItsHash) {
  TempDir top;
  setenv("XDG_DATA_HOME", (top.path() / "data").c_str(), 1);
  std::string name;
  for (int i = 0; i < 83; ++i) name += "木";  // 249 bytes
  name += "x";
  const std::filesystem::path one = UserSaveDirectory(top.path() / "a" / name);
  const std::filesystem::path two = UserSaveDirectory(top.path() / "b" / name);
  unsetenv("XDG_DATA_HOME");
  const std::string leaf = one.filename().string();
  EXPECT_LE(leaf.size(), 255u);
  EXPECT_EQ(ToUtf8(FromUtf8(leaf)), leaf);
  EXPECT_TRUE(leaf.starts_with(name.substr(0, 30)));
  EXPECT_NE(one, two);
  std::error_code ec;
  EXPECT_TRUE(std::filesystem::create_directories(one, ec)) << ec.message();
}

}  // namespace
}  // namespace mokuren::testing
