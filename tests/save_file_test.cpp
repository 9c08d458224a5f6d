// SAVE.DAT as bytes on the disk: the first start, slots and their thumbnails, the hero name across a
// restart, and what happens to a damaged file, a crash while saving and a write that fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "graphics/ABitmapFilters32.h"
#include "save/atomic_file.h"
#include "save/bmp_file.h"
#include "save/save_date.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

class SaveFile : public EngineFixture {
 protected:
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
  EXPECT_EQ(form_->HeroName, u"カザミネ");
  EXPECT_TRUE(form_->Errors().Lines().empty());
}

TEST_F(SaveFile, SaveToSlotWritesTheRecordAtItsOffsetWithAThumbnail) {
  StartEngine();
  form_->ScenarioVars.Set(7, -1234);
  form_->ScriptNo = 3;
  form_->StepNo = 42;
  form_->FrameSurface.FillRGB(200, 100, 50);
  const double before = SaveDateNow();
  ASSERT_TRUE(form_->SaveToSlot(13));
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
  EXPECT_EQ(slot.StepNo, 42);
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
  StretchBilinear(form_->FrameSurface, expected, 0, 0, 128, 96, 0, 0, 800, 600);
  EXPECT_EQ(thumb, expected);
  EXPECT_NE(thumb.ScanLine(50)[60 * 4 + 2], 0);
}

TEST_F(SaveFile, QuickSaveFillsSlot100AndQuickLoadBringsItBack) {
  StartEngine();
  // Nothing to load yet: only the notice.
  form_->TaskCode = task::MessageWait;
  form_->QuickLoad();
  EXPECT_EQ(form_->NoticeText, u"クイックセーブがありません");
  EXPECT_EQ(form_->TaskCode, task::MessageWait);

  form_->ScenarioVars.Set(1, 11);
  form_->StepNo = 20;
  form_->QuickSave();
  EXPECT_EQ(form_->NoticeText, u"クイックセーブしました");
  EXPECT_EQ(form_->NoticeTimer, 300);
  const std::string bytes = SaveBytes();
  EXPECT_EQ(bytes[406048], 1);
  EXPECT_EQ(I32(bytes, 406048 + 1044), 20);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE100.dat"));

  form_->ScenarioVars.Set(1, 99);
  form_->StepNo = 80;
  form_->QuickLoad();
  EXPECT_EQ(form_->NoticeText, u"クイックロードしました");
  EXPECT_EQ(form_->ScenarioVars.Get(1), 11);
  EXPECT_EQ(form_->StepNo, 19);  // the waiting instruction runs again
  EXPECT_EQ(form_->TaskCode, task::Restore);
}

TEST_F(SaveFile, LoadingAnEmptyOrUnknownSlotChangesNothing) {
  StartEngine();
  form_->StepNo = 5;
  form_->TaskCode = task::MessageWait;
  EXPECT_FALSE(form_->LoadFromSlot(4));
  EXPECT_FALSE(form_->LoadFromSlot(0));
  EXPECT_FALSE(form_->LoadFromSlot(101));
  EXPECT_FALSE(form_->SaveToSlot(0));
  EXPECT_FALSE(form_->SaveToSlot(101));
  EXPECT_EQ(form_->StepNo, 5);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  EXPECT_EQ(SaveBytes().find_first_not_of('\0', 265072), std::string::npos);
}

TEST_F(SaveFile, HeroNameAndSettingsComeBackAtTheNextStart) {
  StartEngine();
  const std::u16string name = u"ミナセユウキ";
  ASSERT_EQ(name.size(), 6u);
  for (size_t i = 0; i < 16; ++i) form_->StoredHeroName[i] = i < name.size() ? name[i] : 0;
  form_->BgmVolume = 55;
  form_->SystemVars.Set(451, -1);
  Restart();

  const std::string bytes = SaveBytes();
  for (size_t i = 0; i < 6; ++i) {
    uint16_t unit;
    std::memcpy(&unit, bytes.data() + 265032 + 2 * i, 2);
    EXPECT_EQ(unit, name[i]);
  }
  EXPECT_EQ(bytes[265032 + 12], 0);
  EXPECT_EQ(bytes[265032 + 13], 0);
  EXPECT_EQ(form_->HeroName, name);
  EXPECT_EQ(form_->BgmVolume, 55);
  EXPECT_EQ(form_->SystemVars.Get(451), -1);
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
  EXPECT_EQ(form_->BgmVolume, 30);
  ASSERT_FALSE(form_->Errors().Lines().empty());
  EXPECT_NE(form_->Errors().Lines().back().find(u"SAVE.DAT.damaged-"), std::u16string::npos);
  EXPECT_NE(form_->NoticeText.find(u"セーブデータが壊れていた"), std::u16string::npos);

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
// size is refused and changes nothing.
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

TEST_F(SaveFile, CrashBetweenWritingAndRenamingLeavesTheOldFile) {
  StartEngine();
  ASSERT_TRUE(form_->SaveToSlot(2));
  const std::string old = SaveBytes();
  form_->ScenarioVars.Set(3, 333);
  form_->SaveBeforeRenameHook = [] { std::raise(SIGKILL); };
  EXPECT_EXIT(form_->SaveToSlot(5), ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(SaveBytes(), old);
  // The next save does not trip over what the dead process left behind.
  form_->SaveBeforeRenameHook = nullptr;
  ASSERT_TRUE(form_->SaveToSlot(5));
  EXPECT_EQ(SaveBytes()[263648 + 1424 * 5], 1);
  EXPECT_FALSE(std::filesystem::exists(PendingFileName(SavePath())));
}

TEST_F(SaveFile, FailedWriteIsReportedAndTheOldFileStays) {
  StartEngine();
  ASSERT_TRUE(form_->SaveToSlot(1));
  const std::string old = SaveBytes();

  // The temporary file cannot be created.
  std::filesystem::create_directory(PendingFileName(SavePath()));
  form_->QuickSave();
  EXPECT_EQ(form_->NoticeText, u"クイックセーブできませんでした");
  ASSERT_FALSE(form_->Errors().Lines().empty());
  EXPECT_NE(form_->Errors().Lines().back().find(u"前のセーブデータはそのまま"), std::u16string::npos);
  EXPECT_EQ(SaveBytes(), old);
  std::filesystem::remove(PendingFileName(SavePath()));

  // The disk fills up half-way (a file size limit stands in for a full disk; run in a child process so
  // the limit does not outlive the test).
  auto saveOnAFullDisk = [this] {
    const rlimit limit = {.rlim_cur = 100000, .rlim_max = 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const bool written = form_->SaveToSlot(9);
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
  ASSERT_TRUE(form_->SaveToSlot(4));
  EXPECT_TRUE(std::filesystem::is_symlink(SavePath()));
  const std::string bytes = ReadFile(dir_.path() / "saves" / "SAVE.DAT");
  ASSERT_EQ(bytes.size(), 407472u);
  EXPECT_EQ(bytes[263648 + 1424 * 4], 1);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "saves" / "SAVE.DAT.writing"));
}

}  // namespace
}  // namespace mokuren::testing
