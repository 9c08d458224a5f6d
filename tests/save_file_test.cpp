// SAVE.DAT as bytes on the disk: the first start, slots and their thumbnails, the hero name across a
// restart, and what happens to a damaged file, a crash while saving and a write that fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "base/atomic_file.h"
#include "graphics/ABitmapFilters32.h"
#include "save/bmp_file.h"
#include "save/save_date.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class SaveFile : public EngineFixture {
 protected:
  // Saving and loading, the layer these tests drive.
  SaveData& Saves() { return form_->Save(); }
  std::filesystem::path SavePath() const { return dir_.path() / "SAVE.DAT"; }
  std::string SaveBytes() const { return ReadFile(SavePath()); }
  // Ends this engine as a confirmed quit does (which writes SAVE.DAT) and starts a new one on the
  // same directory.
  void Restart() {
    form_->CloseConfirmed();
    form_.reset();
    platform_.reset();
    StartEngine();
  }
  static int32_t I32(const std::string& bytes, size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  // A file the player chose in the browser page's "import saves"; what the page shows back (empty when
  // the saves were replaced).
  std::u16string ImportSaves(const std::string& bytes) {
    return form_->Save().ImportSaveFile({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  }
  std::vector<std::filesystem::path> DamagedFiles() const {
    std::vector<std::filesystem::path> found;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
      if (e.path().filename().string().rfind("SAVE.DAT.damaged-", 0) == 0) found.push_back(e.path());
    return found;
  }
};

TEST_F(SaveFile, FirstStartWritesTheDefaultsAndAnOtherwiseEmptyBlock) {
  StartEngine();
  const std::string bytes = SaveBytes();
  ASSERT_EQ(bytes.size(), 407472u);
  EXPECT_EQ(I32(bytes, 265004), 2);    // message speed
  EXPECT_EQ(bytes[265008], 1);         // screen effects
  EXPECT_EQ(I32(bytes, 265012), 100);  // voice
  EXPECT_EQ(I32(bytes, 265016), 30);   // music
  EXPECT_EQ(I32(bytes, 265020), 100);  // effects
  EXPECT_EQ(I32(bytes, 265024), 2);    // auto delay
  EXPECT_EQ(bytes[265029], 0);         // full screen
  EXPECT_EQ(bytes.find_first_not_of('\0', 265072), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "THUMB"));
  EXPECT_EQ(HeroName(), u"カザミネ");
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SaveFile, SaveToSlotWritesTheRecordAtItsOffsetWithAThumbnail) {
  // Script 1 goes on in script 3, which waits at a message over a background.
  StartGame(TestGame{{{1, "jump top, 3\n"}, {3, "*top\nbg \"BG\"\nshow\nF7 = -1234\nmsg \"ここ\"\nwait click\n"}},
                     {{"BG", SolidPng(800, 600, 200, 100, 50)}},
                     {}});
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  const double before = SaveDateNow();
  ASSERT_TRUE(Saves().SaveToSlot(13));
  const double after = SaveDateNow();

  const std::string bytes = SaveBytes();
  ASSERT_EQ(bytes.size(), 407472u);
  constexpr size_t kSlot13 = 282160;
  EXPECT_EQ(kSlot13, 263648u + 1424u * 13u);
  EXPECT_EQ(bytes[kSlot13], 1);
  SaveRecord slot;
  std::memcpy(&slot, bytes.data() + kSlot13, sizeof slot);
  EXPECT_EQ(slot.ScenarioVarsRaw[6], -1234);
  EXPECT_EQ(slot.ScriptNo, 3);
  EXPECT_EQ(slot.StepNo, Step());
  EXPECT_GE(slot.SaveDate, before);
  EXPECT_LE(slot.SaveDate, after);
  // The live record at offset 0 is the same game, marked used.
  EXPECT_EQ(0, std::memcmp(bytes.data(), bytes.data() + kSlot13, sizeof slot));
  // Neighbouring slots stay empty.
  EXPECT_EQ(bytes[kSlot13 - 1424], 0);
  EXPECT_EQ(bytes[kSlot13 + 1424], 0);

  TABitmap thumb;
  std::string error;
  const std::string file = ReadFile(dir_.path() / "THUMB" / "SAVE13.dat");
  ASSERT_TRUE(DecodeBmp32({reinterpret_cast<const uint8_t*>(file.data()), file.size()}, thumb, error)) << error;
  EXPECT_EQ(thumb.Width(), 128);
  EXPECT_EQ(thumb.Height(), 96);
  // The picture is the frame scaled down into black by the bilinear filter.
  TABitmap expected(128, 96);
  expected.FillRGB(0, 0, 0);
  StretchBilinear(Frame(), expected, 0, 0, 128, 96, 0, 0, 800, 600);
  EXPECT_EQ(thumb, expected);
  EXPECT_NE(thumb.ScanLine(50)[60 * 4 + 2], 0);
}

TEST_F(SaveFile, QuickSaveFillsSlot100AndQuickLoadBringsItBack) {
  StartScript(R"(F1 = 11
msg "一"
F1 = 99
msg "二"
wait click
)");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  const int32_t savedStep = Step();
  // Nothing to load yet: only the notice.
  Apply("quickload");
  EXPECT_EQ(Notice(), u"クイックセーブがありません");
  EXPECT_EQ(Task(), task::MessageWait);

  Apply("quicksave");
  EXPECT_EQ(Notice(), u"クイックセーブしました");
  const std::string bytes = SaveBytes();
  EXPECT_EQ(bytes[406048], 1);
  EXPECT_EQ(I32(bytes, 406048 + 1044), savedStep);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE100.dat"));

  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait && Step() != savedStep; }));
  ASSERT_EQ(Var('F', 1), 99);
  Apply("quickload");
  EXPECT_EQ(Notice(), u"クイックロードしました");
  EXPECT_EQ(Var('F', 1), 11);
  EXPECT_EQ(Task(), task::Restore);
  // The waiting message runs again.
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Step(), savedStep);
}

TEST_F(SaveFile, LoadingAnEmptyOrUnknownSlotChangesNothing) {
  StartScript("msg \"一\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  const int32_t step = Step();
  EXPECT_FALSE(Saves().LoadFromSlot(4));
  EXPECT_FALSE(Saves().LoadFromSlot(0));
  EXPECT_FALSE(Saves().LoadFromSlot(101));
  EXPECT_FALSE(Saves().SaveToSlot(0));
  EXPECT_FALSE(Saves().SaveToSlot(101));
  Passes(1);
  EXPECT_EQ(Step(), step);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(SaveBytes().find_first_not_of('\0', 265072), std::string::npos);
}

TEST_F(SaveFile, HeroNameAndSettingsComeBackAtTheNextStart) {
  StartScript("S451 = -1\nwait click\n");
  const std::u16string name = u"ミナセユウキ";
  ASSERT_EQ(name.size(), 6u);
  form_->Text().SetHeroName(name);  // as the name dialog does when it accepts one
  form_->Audio().BgmVolume = 55;    // as the settings dialog does
  Restart();                        // no pass runs: what the engine holds now came from SAVE.DAT

  const std::string bytes = SaveBytes();
  for (size_t i = 0; i < 6; ++i) {
    uint16_t unit;
    std::memcpy(&unit, bytes.data() + 265032 + 2 * i, 2);
    EXPECT_EQ(unit, name[i]);
  }
  EXPECT_EQ(bytes[265032 + 12], 0);
  EXPECT_EQ(bytes[265032 + 13], 0);
  EXPECT_EQ(I32(bytes, 265016), 55);
  EXPECT_EQ(HeroName(), name);
  EXPECT_EQ(Var('S', 451), -1);
}

TEST_F(SaveFile, DamagedFileIsKeptAsideAndTheGameStartsWithDefaults) {
  std::string damaged(407471, '\x5a');  // one byte short
  WriteFile(SavePath(), damaged);
  StartEngine();

  auto aside = DamagedFiles();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(ReadFile(aside[0]), damaged);  // untouched
  const std::string fresh = SaveBytes();
  ASSERT_EQ(fresh.size(), 407472u);
  EXPECT_EQ(I32(fresh, 265016), 30);
  ASSERT_FALSE(Errors().empty());
  EXPECT_NE(Errors().back().find("SAVE.DAT.damaged-"), std::string::npos);
  EXPECT_NE(Notice().find(u"セーブデータが壊れていた"), std::u16string::npos);

  // A second damaged file on the same second does not overwrite the first one kept aside.
  form_.reset();
  platform_.reset();
  WriteFile(SavePath(), "short");
  StartEngine();
  aside = DamagedFiles();
  ASSERT_EQ(aside.size(), 2u);
  const std::string a = ReadFile(aside[0]), b = ReadFile(aside[1]);
  EXPECT_TRUE((a == damaged && b == "short") || (a == "short" && b == damaged));
}

// The browser page's import: a SAVE.DAT brought by the player replaces the saves, which stay aside with
// the thumbnails of the slots it changes, and outlives the session that imported it; a file of another
// size, or one that no engine wrote, is refused and changes nothing.
TEST_F(SaveFile, ImportedSavesReplaceTheOldOnesWhichAreKeptAside) {
  StartEngine();
  Apply("save 3");
  const std::string brought = SaveBytes();
  Apply("save 5");
  const std::string replaced = SaveBytes();

  EXPECT_EQ(ImportSaves(brought), u"");
  EXPECT_EQ(SaveBytes(), brought);
  std::filesystem::path oldSaves, oldThumbs;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) {
    const std::string name = e.path().filename();
    if (name.rfind("SAVE.DAT.replaced-", 0) == 0) oldSaves = e.path();
    if (name.rfind("THUMB.replaced-", 0) == 0) oldThumbs = e.path();
  }
  EXPECT_EQ(ReadFile(oldSaves), replaced);
  EXPECT_TRUE(std::filesystem::exists(oldThumbs / "SAVE5.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE5.dat"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE3.dat"));  // its slot came back as it was
  Restart();
  EXPECT_EQ(SaveBytes(), brought);
}

TEST_F(SaveFile, ImportOfAFileOfAnotherSizeIsRefusedAndTheSavesKept) {
  StartEngine();
  Apply("save 3");
  const std::string kept = SaveBytes();
  EXPECT_EQ(ImportSaves(std::string(1000, 'x')),
            u"SAVE.DAT の大きさが 1000 バイトで、正しい大きさの 407472 "
            u"バイトと違います。今のセーブデータはそのまま残っています");
  EXPECT_EQ(SaveBytes(), kept);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE3.dat"));
}

// A file of the right size is also read for values no engine writes, and refused with the first one.
TEST_F(SaveFile, ImportOfAFileNoEngineWroteIsRefusedWithWhatIsWrong) {
  StartEngine();
  Apply("save 3");
  const std::string kept = SaveBytes();
  const auto with = [&](size_t at, auto value) {
    std::string bytes = kept;
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return ImportSaves(bytes);
  };
  const size_t slot3 = 265072 + 2 * 1424;
  EXPECT_EQ(with(slot3 + 8, 0.0),  // the date: 30 December 1899, as a file of zeros has it
            u"スロット 3 の日付が 1899/12/30 で、ありえない日付です。このゲームの SAVE.DAT "
            u"ではないようです。今のセーブデータはそのまま残っています");
  EXPECT_NE(with(slot3, uint8_t{7}).find(u"スロット 3 の値 Used が 7"), std::u16string::npos);
  EXPECT_NE(with(slot3 + 1040, int16_t{999}).find(u"スクリプト 999 はこのゲームにありません"), std::u16string::npos);
  std::string pastEnd = kept;
  const int16_t script = 1;
  const int32_t step = 1000000;
  std::memcpy(pastEnd.data() + slot3 + 1040, &script, sizeof script);
  std::memcpy(pastEnd.data() + slot3 + 1044, &step, sizeof step);
  EXPECT_NE(ImportSaves(pastEnd).find(u"位置 1000000"), std::u16string::npos);
  EXPECT_NE(with(265004, int32_t{0}).find(u"設定の値 MessageSpeed が 0"), std::u16string::npos);
  EXPECT_EQ(SaveBytes(), kept);
}

TEST_F(SaveFile, CrashBetweenWritingAndRenamingLeavesTheOldFile) {
  StartEngine();
  ASSERT_TRUE(Saves().SaveToSlot(2));
  const std::string old = SaveBytes();
  Saves().SaveBeforeRenameHook = [] { std::raise(SIGKILL); };
  EXPECT_EXIT(Saves().SaveToSlot(5), ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(SaveBytes(), old);
  // The next save does not trip over what the dead process left behind.
  Saves().SaveBeforeRenameHook = nullptr;
  ASSERT_TRUE(Saves().SaveToSlot(5));
  EXPECT_EQ(SaveBytes()[263648 + 1424 * 5], 1);
  EXPECT_FALSE(std::filesystem::exists(PendingFileName(SavePath())));
}

TEST_F(SaveFile, FailedWriteIsReportedAndTheOldFileStays) {
  StartEngine();
  ASSERT_TRUE(Saves().SaveToSlot(1));
  const std::string old = SaveBytes();

  // The temporary file cannot be created.
  std::filesystem::create_directory(PendingFileName(SavePath()));
  Apply("quicksave");
  EXPECT_EQ(Notice(), u"クイックセーブできませんでした");
  ASSERT_FALSE(Errors().empty());
  EXPECT_NE(Errors().back().find("前のセーブデータはそのまま"), std::string::npos);
  EXPECT_EQ(SaveBytes(), old);
  std::filesystem::remove(PendingFileName(SavePath()));

  // The disk fills up half-way (a file size limit stands in for a full disk; run in a child process so
  // the limit does not outlive the test).
  auto saveOnAFullDisk = [this] {
    const rlimit limit = {.rlim_cur = 100000, .rlim_max = 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const bool written = Saves().SaveToSlot(9);
    std::_Exit(written ? 1 : 0);
  };
  EXPECT_EXIT(saveOnAFullDisk(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(SaveBytes(), old);
  EXPECT_FALSE(std::filesystem::exists(PendingFileName(SavePath())));
}

TEST_F(SaveFile, ASaveFileThatIsALinkStaysOneAndTheFileItLeadsToIsReplaced) {
  // The player keeps the saves in a folder of their own; the link there does not exist yet.
  std::filesystem::create_directory(dir_.path() / "saves");
  std::filesystem::create_symlink("saves/SAVE.DAT", SavePath());
  StartEngine();
  ASSERT_TRUE(Saves().SaveToSlot(4));
  EXPECT_TRUE(std::filesystem::is_symlink(SavePath()));
  const std::string bytes = ReadFile(dir_.path() / "saves" / "SAVE.DAT");
  ASSERT_EQ(bytes.size(), 407472u);
  EXPECT_EQ(bytes[263648 + 1424 * 4], 1);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "saves" / "SAVE.DAT.writing"));
}

}  // namespace
}  // namespace mokuren::testing
