// Saving to and loading from the slots of SaveBlock, and the quick-save and quick-load buttons.
#include "app/TForm1.h"
#include "save/save_date.h"

namespace mokuren {

namespace {

constexpr int32_t kNoticeTicks = 300;

bool ValidSlot(int n) { return n >= 1 && n <= kSaveSlots; }

}  // namespace

bool TForm1::SaveToSlot(int n) {
  if (!ValidSlot(n)) return false;
  // The live record is marked used and dated.
  Block->Live.Used = 1;
  Block->Live.SaveDate = SaveDateNow();
  // The live record's comment travels with it.
  Block->Slot(n) = Block->Live;
  // SAVE.DAT, then the slot's thumbnail.
  const bool written = Kumo_CreateSaveFile();
  WriteThumbnail(n);
  return written;
}

bool TForm1::LoadFromSlot(int n) {
  if (!ValidSlot(n) || Block->Slot(n).Used == 0) return false;
  // The slot becomes the live record.
  Block->Live = Block->Slot(n);
  // The instruction that was waiting when the game was saved (a message or a choice) runs again.
  // A damaged slot may hold any step; it wraps around instead of overflowing, and the interpreter
  // checks the step against the loaded code before it runs anything.
  StepNo = static_cast<int32_t>(static_cast<uint32_t>(StepNo) - 1u);
  // The restore task rebuilds screen, sound and script on the next pass.
  TaskCode = task::Restore;
  return true;
}

void TForm1::QuickSave() {
  NoticeText = EngineText(u"クイックセーブしました");
  NoticeTimer = kNoticeTicks;
  if (!SaveToSlot(kQuickSlot)) {
    NoticeText = EngineText(u"クイックセーブできませんでした");
    NoticeTimer = kNoticeTicks;
  }
}

void TForm1::QuickLoad() {
  if (Block->Slot(kQuickSlot).Used == 0) {
    NoticeText = EngineText(u"クイックセーブがありません");
    NoticeTimer = kNoticeTicks;
    return;
  }
  NoticeText = EngineText(u"クイックロードしました");
  NoticeTimer = kNoticeTicks;
  Kumo_ClearMsgLog();
  LoadFromSlot(kQuickSlot);
}

}  // namespace mokuren
