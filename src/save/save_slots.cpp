// Saving to and loading from the slots of SaveBlock, and the quick-save and quick-load buttons.
#include "base/task_codes.h"
#include "save/save_data.h"
#include "save/save_date.h"
#include "save/save_host.h"

namespace mokuren {

namespace {

constexpr int32_t kNoticeTicks = 300;

bool ValidSlot(int n) { return n >= 1 && n <= kSaveSlots; }

}  // namespace

bool SaveData::SaveToSlot(int n) {
  if (!ValidSlot(n)) return false;
  // The live record is marked used and dated.
  Block->Live.Used = 1;
  Block->Live.SaveDate = SaveDateNow();
  // The live record's comment travels with it.
  const SaveRecord before = Block->Slot(n);
  Block->Slot(n) = Block->Live;
  // The slot and its picture change only with a SAVE.DAT that holds the new game: when it cannot be
  // written, both stay as the disk keeps them.
  if (!Kumo_CreateSaveFile()) {
    Block->Slot(n) = before;
    return false;
  }
  // A picture that cannot be written would leave the old game's in the slot: none is better.
  if (!WriteThumbnail(n)) {
    std::error_code ec;
    std::filesystem::remove(ThumbnailPath(n), ec);
  }
  return true;
}

bool SaveData::LoadFromSlot(int n) {
  if (!ValidSlot(n) || Block->Slot(n).Used == 0) return false;
  // The slot becomes the live record.
  Block->Live = Block->Slot(n);
  // The instruction that was waiting when the game was saved (a message or a choice) runs again.
  // A damaged slot may hold any step; it wraps around instead of overflowing, and the interpreter
  // checks the step against the loaded code before it runs anything.
  int32_t& step = Block->Live.StepNo;
  step = static_cast<int32_t>(static_cast<uint32_t>(step) - 1u);
  // The restore task rebuilds screen, sound and script on the next pass.
  host_.SetTaskCode(task::Restore);
  return true;
}

void SaveData::QuickSave() {
  host_.ShowNotice(host_.EngineText(u"クイックセーブしました"), kNoticeTicks);
  if (!SaveToSlot(kQuickSlot)) host_.ShowNotice(host_.EngineText(u"クイックセーブできませんでした"), kNoticeTicks);
}

void SaveData::QuickLoad() {
  if (Block->Slot(kQuickSlot).Used == 0) {
    host_.ShowNotice(host_.EngineText(u"クイックセーブがありません"), kNoticeTicks);
    return;
  }
  host_.ShowNotice(host_.EngineText(u"クイックロードしました"), kNoticeTicks);
  host_.ClearMessageLog();
  LoadFromSlot(kQuickSlot);
}

}  // namespace mokuren
