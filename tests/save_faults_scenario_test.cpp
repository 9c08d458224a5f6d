// A running game whose disk fails under it: a save at quit that cannot be written is asked about and
// said in the exit status, a failed save leaves its slot's picture alone, and a SAVE.DAT that cannot be
// read is reported as such and kept, never taken for a damaged one.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "base/save_block.h"
#include "support/engine_fixture.h"
#include "support/faulty_file_calls.h"

namespace mokuren::testing {
namespace {

class SaveFaults : public EngineFixture {
 protected:
  // A disk that refuses the next file replaced from now: its first call removes a stale temporary file,
  // the second creates the new one.
  void FillDisk(int failures) {
    disk_.failAt = disk_.calls + 1;
    disk_.failCount = failures;
  }

  FaultyFileCalls disk_;
  ScopedFileCalls onDisk_{disk_};
};

TEST_F(SaveFaults, ASaveThatFailsAtQuitIsOfferedAgain) {
  const std::filesystem::path box = dir() / "box.txt";
  StartEngine("100 quit\n100 dialog ok\n200 dialog-text " + box.string() + "\n300 dialog ok\n");
  FillDisk(1);
  RunMs(1000);
  EXPECT_NE(ReadFile(box).find("セーブデータを書き込めませんでした。もう一度試しますか？"), std::string::npos);
  EXPECT_TRUE(disk_.renamed);  // the second try wrote SAVE.DAT
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(SaveFaults, TheEndOfMaxMsWithoutTheFinalSaveEndsWithStatus4) {
  LaunchOptions options;
  options.maxMs = 500;
  StartEngine({}, 0, options);
  FillDisk(1 << 20);
  RunMs(2000);
  EXPECT_EQ(ExitStatus(), 4);
  EXPECT_EQ(ErrorsWith("SAVE.DAT に書き込めませんでした"), 1);
}

TEST_F(SaveFaults, ASaveThatFailsLeavesTheSlotAndItsPictureAsTheyWere) {
  StartEngine();
  Passes(3);
  WriteFile(dir() / "THUMB" / "SAVE3.dat", "the picture of the game slot 3 holds");
  FillDisk(1);
  Apply("save 3");
  EXPECT_TRUE(ReadFile(dir() / "THUMB" / "SAVE3.dat") == "the picture of the game slot 3 holds");
  // The next save that works does not write the refused game into slot 3 either.
  Apply("save 4");
  constexpr size_t kSlot3Used = offsetof(SaveBlock, Slots) + 2 * sizeof(SaveRecord) + offsetof(SaveRecord, Used);
  EXPECT_EQ(SaveDat().at(kSlot3Used), 0);
}

TEST_F(SaveFaults, ASaveDatThatCannotBeReadIsKeptAndSaidSoNotCalledDamaged) {
  std::filesystem::create_directory(dir() / "SAVE.DAT");
  WriteFile(dir() / "SAVE.DAT" / "kept", "kept");
  StartEngine();
  Passes(3);
  Apply("quicksave");
  EXPECT_EQ(ErrorsWith(std::string("SAVE.DAT を読み込めません（") + std::strerror(EISDIR) + "）"), 1);
  EXPECT_EQ(ErrorsWith("壊れ"), 0);
  EXPECT_EQ(ReadFile(dir() / "SAVE.DAT" / "kept"), "kept");
  for (const auto& entry : std::filesystem::directory_iterator(dir()))
    EXPECT_EQ(entry.path().filename().string().find("damaged"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace mokuren::testing
