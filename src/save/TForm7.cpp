#include "save/TForm7.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "base/error_texts.h"
#include "base/save_block.h"
#include "base/spoken_texts.h"
#include "base/text_codec.h"
#include "dialogs/TQueryForm.h"
#include "graphics/ABitmapFilters32.h"
#include "save/save_date.h"
#include "save/save_screen_host.h"

namespace mokuren {

namespace {

constexpr int kPages = 10;
constexpr int kSlotsPerPage = 10;
constexpr int32_t kPageBackgroundSave = TForm7::kSavePageBackgrounds;  // + page
constexpr int32_t kPageBackgroundLoad = TForm7::kLoadPageBackgrounds;  // + page
constexpr int32_t kPartsSheet = TForm7::kPartsSheetEntry;
constexpr int32_t kPageBackgroundBox = 202;
constexpr int32_t kPartsSheetBox = 203;

// Page tabs along the top: tab p covers x 36 + 53 (p - 1) to 88 + 53 (p - 1).
constexpr int32_t kTabTop = 12, kTabBottom = 35, kTabLeft = 36, kTabRight = 565, kTabPitch = 53;
// The close area, and its hover pictures in the parts sheet: 88 x 40 at (0, 40 (page - 1)).
constexpr int32_t kCloseX = 584, kCloseY = 560, kCloseWidth = 88, kCloseHeight = 40;
// The newest-save marker in the parts sheet; its top-left pixel's colour is transparent.
constexpr int32_t kMarkerX = 0, kMarkerY = 400, kMarkerSize = 64;

// Slot cells: two columns of five. Slots 1-5 of a page are the left column, 6-10 the right.
struct Column {
  int32_t left, right;  // the cell's clickable columns
  int32_t thumbX;       // thumbnail and marker
  int32_t textX;        // comment lines
  int32_t dateX;
};
constexpr Column kColumns[2] = {{32, 291, 34, 167, 171}, {306, 565, 308, 441, 445}};
constexpr int32_t kRowTops[5] = {52, 157, 262, 367, 472};
constexpr int32_t kRowHeight = 99;  // rows end at 150, 255, 360, 465, 570
constexpr int32_t kRowPitch = 105;
constexpr int32_t kThumbWidth = 128, kThumbHeight = 96;

bool Inside(Point p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

// The cell (1-10) under p, or 0.
int CellAt(Point p) {
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 5; ++r)
      if (Inside(p, kColumns[c].left, kRowTops[r], kColumns[c].right, kRowTops[r] + kRowHeight)) return 5 * c + r + 1;
  return 0;
}

// The Japanese short date and long time: "2026/12/08 9:05:03".
std::u16string DateText(double saveDate) {
  const CivilTime t = CivilFromSaveDate(saveDate);
  char text[48];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return FromUtf8(text);
}

// The slot cells as the keys and the pointer choose them.
constexpr auto kCells = [] {
  std::array<FocusItem, 10> cells{};
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 5; ++r)
      cells[static_cast<size_t>(5 * c + r)] = {
          5 * c + r + 1, {kColumns[c].left, kRowTops[r], kColumns[c].right - kColumns[c].left + 1, kRowHeight + 1}};
  return cells;
}();

// The focus frame: two pixels inside a cell's edge.
constexpr int32_t kFrameWidthPx = 2;

// Comment line k (0-2): units 8k .. 8k + 7, up to the first 0 unit.
std::u16string CommentLine(const SaveRecord& record, int k) {
  std::u16string line;
  for (int i = 8 * k; i < 8 * k + 8 && record.Comment[i] != 0; ++i)
    line.push_back(static_cast<char16_t>(record.Comment[i]));
  return line;
}

}  // namespace

TForm7::TForm7(SaveScreenHost& host) : host_(host) {}

int TForm7::NewestSlot() const {
  const SaveBlock& saves = host_.SavedGames();
  int newest = 0;
  double newestDate = 0;
  for (int n = 1; n < kQuickSlot; ++n) {
    const SaveRecord& slot = saves.Slot(n);
    if (slot.Used == 0) continue;
    // A date that is not a number (a damaged slot) counts as the earliest.
    const double date = std::isnan(slot.SaveDate) ? -HUGE_VAL : slot.SaveDate;
    if (newest == 0 || date > newestDate) {
      newest = n;
      newestDate = date;
    }
  }
  return newest;
}

void TForm7::FormShow() {
  Visible = true;
  ModalResult = mrNone;
  const int newest = NewestSlot();
  CurrentPage = newest == 0 ? 1 : (newest - 1) / kSlotsPerPage + 1;
  host_.LoadScreenPicture(kPartsSheetBox, kPartsSheet);
  Timer1Enabled = true;
  // No slot is framed until the pointer moves or a key chooses one.
  focus_.Reset(host_.ScreenCursorPos());
  framed_ = 0;
  DrawSaveInfo(CurrentPage);
  host_.SpeakFocus(Tag == kLoadMode ? spoken_text::kLoadPage : spoken_text::kSavePage,
                   {{u"page", FromUtf8(std::to_string(CurrentPage))}});
}

void TForm7::DrawSaveInfo(int page) {
  if (page < 1 || page > kPages) return;
  const int newest = NewestSlot();
  host_.LoadScreenPicture(kPageBackgroundBox, (Tag == kLoadMode ? kPageBackgroundLoad : kPageBackgroundSave) + page);
  CopyOpaque(Image3, Image1, 0, 0);
  const SaveBlock& saves = host_.SavedGames();
  for (int cell = 1; cell <= kSlotsPerPage; ++cell) {
    const int n = kSlotsPerPage * (page - 1) + cell;
    if (saves.Slot(n).Used != 0) DrawSlot(n, cell, newest);
  }
  // Slot 100 is the quick-save slot: the save screen covers it.
  if (Tag == kSaveMode && page == kPages) {
    FillRect(Image1, 363, 496, 146, 50, 0, 0, 0);
    FillRect(Image1, 364, 497, 144, 48, 255, 255, 0);
    host_.DrawScreenText(Image1, 376, 513, host_.ScreenLabel(u"通常セーブ不可"), 16);
  }
  CopyOpaque(Image1, page_, 0, 0);
  framed_ = 0;
  ShowFocus();
}

void TForm7::ShowFocus() {
  const int cell = focus_.Chosen();
  if (cell != framed_) {
    // The frame drawn before gives way to the page as it was drawn.
    if (framed_ != 0) {
      const Rect& r = kCells[static_cast<size_t>(framed_ - 1)].area;
      CopyOpaque(page_, Image1, r.x, r.y, r.width, r.height, r.x, r.y);
    }
    if (cell != 0) {
      const Rect& r = kCells[static_cast<size_t>(cell - 1)].area;
      const int32_t w = kFrameWidthPx;
      FillRect(Image1, r.x, r.y, r.width, w, 255, 224, 0);
      FillRect(Image1, r.x, r.y + r.height - w, r.width, w, 255, 224, 0);
      FillRect(Image1, r.x, r.y, w, r.height, 255, 224, 0);
      FillRect(Image1, r.x + r.width - w, r.y, w, r.height, 255, 224, 0);
    }
    framed_ = cell;
  }
  if (focus_.TakeChange()) SpeakCell(cell);
}

void TForm7::SpeakCell(int cell) {
  if (cell == 0) return;
  const int n = kSlotsPerPage * (CurrentPage - 1) + cell;
  const std::u16string slot = FromUtf8(std::to_string(n));
  const SaveRecord& record = host_.SavedGames().Slot(n);
  if (Tag == kSaveMode && n == kQuickSlot) {
    host_.SpeakFocus(spoken_text::kSlotQuick, {{u"slot", slot}});
  } else if (record.Used == 0) {
    host_.SpeakFocus(spoken_text::kSlotEmpty, {{u"slot", slot}});
  } else {
    host_.SpeakFocus(spoken_text::kSlotUsed,
                     {{u"slot", slot},
                      {u"date", DateText(record.SaveDate)},
                      {u"comment", CommentLine(record, 0) + CommentLine(record, 1) + CommentLine(record, 2)}});
  }
}

void TForm7::TurnTo(int page) {
  CurrentPage = page;
  DrawSaveInfo(CurrentPage);
  host_.SpeakFocus(Tag == kLoadMode ? spoken_text::kLoadPage : spoken_text::kSavePage,
                   {{u"page", FromUtf8(std::to_string(CurrentPage))}});
  SpeakCell(focus_.Chosen());
}

bool TForm7::FormKeyDown(Key key) {
  if (!Visible) return false;
  const auto move = [this](FocusMove m) {
    focus_.Update(kCells, std::nullopt, m);
    ShowFocus();
    return true;
  };
  switch (key) {
    case Key::Escape: Close(); return true;
    case Key::PageUp: TurnTo(CurrentPage == 1 ? kPages : CurrentPage - 1); return true;
    case Key::PageDown: TurnTo(CurrentPage == kPages ? 1 : CurrentPage + 1); return true;
    case Key::Up: return move(FocusMove::Up);
    case Key::Down: return move(FocusMove::Down);
    case Key::Left: return move(FocusMove::Left);
    case Key::Right: return move(FocusMove::Right);
    case Key::Tab: return move(FocusMove::Next);
    case Key::Backtab: return move(FocusMove::Previous);
    case Key::Enter:
    case Key::Space:
      if (focus_.Chosen() != 0) PressCell(MouseButton::Left, focus_.Chosen());
      return true;
    case Key::F2:
      if (focus_.Chosen() != 0) PressCell(MouseButton::Right, focus_.Chosen());
      return true;
    default: return false;
  }
}

void TForm7::DrawSlot(int n, int cell, int newest) {
  const SaveRecord& record = host_.SavedGames().Slot(n);
  const Column& column = kColumns[(cell - 1) / 5];
  const int32_t row = (cell - 1) % 5;
  const int32_t top = kRowPitch * row;
  host_.DrawScreenText(Image1, column.dateX, 132 + top, DateText(record.SaveDate), 10);
  DrawThumbnail(n, column.thumbX, 53 + top);
  if (n == newest) DrawKeyed(Image2, Image1, column.thumbX, 53 + top, kMarkerSize, kMarkerSize, kMarkerX, kMarkerY);
  for (int k = 0; k < 3; ++k) host_.DrawScreenText(Image1, column.textX, 76 + 16 * k + top, CommentLine(record, k), 14);
}

void TForm7::DrawThumbnail(int n, int32_t x, int32_t y) {
  TABitmap thumbnail;
  std::string error;
  if (!host_.ReadThumbnail(n, thumbnail, error)) {
    // The background stays where the thumbnail would be.
    if (!thumbnailReported_[static_cast<size_t>(n)]) {
      thumbnailReported_[static_cast<size_t>(n)] = true;
      host_.ReportScreenError(error_text::kThumbnailNotShown,
                              {{u"file", FromUtf8("SAVE" + std::to_string(n) + ".dat")}, {u"error", FromUtf8(error)}});
    }
    return;
  }
  // Only the thumbnail's place: a bitmap of another size does not spill over the page.
  CopyOpaque(thumbnail, Image1, x, y, kThumbWidth, kThumbHeight, 0, 0);
}

void TForm7::Image1MouseDown(MouseButton button, Point p) {
  if (!Visible) return;
  if (button == MouseButton::Left && Inside(p, kTabLeft, kTabTop, kTabRight, kTabBottom)) {
    TurnTo((p.x - kTabLeft) / kTabPitch + 1);
    return;
  }
  if (button == MouseButton::Left &&
      Inside(p, kCloseX, kCloseY, kCloseX + kCloseWidth - 1, kCloseY + kCloseHeight - 1)) {
    Close();
    return;
  }
  PressCell(button, CellAt(p));
}

void TForm7::PressCell(MouseButton button, int cell) {
  if (cell == 0) return;
  const int n = kSlotsPerPage * (CurrentPage - 1) + cell;
  const bool used = host_.SavedGames().Slot(n).Used != 0;
  if (Tag == kSaveMode) {
    if (n == kQuickSlot) return;
    if (button == MouseButton::Left) {
      // An occupied slot is overwritten without asking.
      host_.SaveGame(n);
      thumbnailReported_[static_cast<size_t>(n)] = false;
      DrawSaveInfo(CurrentPage);
    } else if (button == MouseButton::Right && used) {
      host_.EditComment(n, [this] { DrawSaveInfo(CurrentPage); });
    }
  } else if (button == MouseButton::Left && used) {
    // The quick-save slot loads here too.
    if (host_.LoadGame(n)) {
      ModalResult = mrOk;
      Close();
    }
  }
}

void TForm7::Timer1Timer() {
  if (!Timer1Enabled) return;
  CursorPos = host_.ScreenCursorPos();
  // The pointer moved onto a slot frames it.
  focus_.Update(kCells, CursorPos, FocusMove::None);
  ShowFocus();
  const bool hover = Inside(CursorPos, kCloseX, kCloseY, kCloseX + kCloseWidth - 1, kCloseY + kCloseHeight - 1);
  if (hover == closeHover_ && hoverDrawn_ != 0 && Image1.Stamp() == hoverDrawn_) return;
  CopyOpaque(Image3, Image1, kCloseX, kCloseY, kCloseWidth, kCloseHeight, kCloseX, kCloseY);
  if (hover)
    CopyOpaque(Image2, Image1, kCloseX, kCloseY, kCloseWidth, kCloseHeight, 0, kCloseHeight * (CurrentPage - 1));
  closeHover_ = hover;
  hoverDrawn_ = Image1.Stamp();
}

bool TForm7::TakePictureChange() {
  const uint64_t stamp = Image1.Stamp();
  if (stamp == shown_) return false;
  shown_ = stamp;
  return true;
}

void TForm7::Close() {
  Timer1Enabled = false;
  Visible = false;
  if (ModalResult == mrNone) ModalResult = mrCancel;
}

}  // namespace mokuren
