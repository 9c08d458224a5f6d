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
  // 1.
  Block->Live.Used = 1;
  Block->Live.SaveDate = SaveDateNow();
  // 2. The live record's comment travels with it.
  Block->Slot(n) = Block->Live;
  // 3.
  const bool written = Kumo_CreateSaveFile();
  // 4.
  WriteThumbnail(n);
  return written;
}

bool TForm1::LoadFromSlot(int n) {
  if (!ValidSlot(n) || Block->Slot(n).Used == 0) return false;
  // 1.
  Block->Live = Block->Slot(n);
  // 2. The instruction that was waiting when the game was saved (a message or a choice) runs again.
  // A damaged slot may hold any step; it wraps around instead of overflowing, and the interpreter
  // checks the step against the loaded code before it runs anything.
  StepNo = static_cast<int32_t>(static_cast<uint32_t>(StepNo) - 1u);
  // 3.
  TaskCode = task::Restore;
  return true;
}

void TForm1::QuickSave() {
  NoticeText = u"クイックセーブしました";
  NoticeTimer = kNoticeTicks;
  if (!SaveToSlot(kQuickSlot)) {
    NoticeText = u"クイックセーブできませんでした";
    NoticeTimer = kNoticeTicks;
  }
}

void TForm1::QuickLoad() {
  if (Block->Slot(kQuickSlot).Used == 0) {
    NoticeText = u"クイックセーブがありません";
    NoticeTimer = kNoticeTicks;
    return;
  }
  NoticeText = u"クイックロードしました";
  NoticeTimer = kNoticeTicks;
  Kumo_ClearMsgLog();
  LoadFromSlot(kQuickSlot);
}

}  // namespace mokuren
