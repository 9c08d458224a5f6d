// The album's two galleries: event pictures, with the viewer that steps through a picture's variants,
// and event scenes, whose clicks build the replay list. Both have ten slots a page, ten pages, and the
// same buttons along the bottom.
#include <vector>

#include "base/task_codes.h"
#include "base/text_codec.h"
#include "graphics/ABitmap.h"
#include "graphics/ABitmapFilters32.h"
#include "menus/album_layout.h"
#include "menus/album_screens.h"

namespace mokuren {

using namespace album;

namespace {

// List positions beyond this are kept but not written on the page.
constexpr int32_t kLastWrittenPosition = 103;

Point Corner(int32_t slot) { return kSlotCorners[static_cast<size_t>(slot - 1)]; }

bool IsSlot(int32_t item) { return item >= 1 && item <= kSlotsPerPage; }

// A gallery's items: the slots that can be opened, then the buttons along the bottom.
template <typename Open>
std::vector<FocusItem> GalleryItems(Open open) {
  std::vector<FocusItem> items;
  for (int32_t slot = 1; slot <= kSlotsPerPage; ++slot)
    if (open(slot)) items.push_back({slot, {Corner(slot).x, Corner(slot).y, kThumbWidth, kThumbHeight}});
  for (const int32_t button : {PreviousPage, NextPage, Back}) {
    const Area& a = *GalleryButtonRect(button);
    items.push_back({button, {a.x, a.y, a.w, a.h}});
  }
  return items;
}

}  // namespace

const std::array<int16_t, kMaxVariants>& AlbumScreens::Pictures(int32_t slot) const {
  return CgTable[static_cast<size_t>(Page - 1)][static_cast<size_t>(slot - 1)];
}

bool AlbumScreens::Seen(int16_t entry) const {
  return entry >= kCgSeenFirst && entry < kCgSeenFirst + kCgSeenCount && CgSeenFlags[entry - kCgSeenFirst] == 1;
}

bool AlbumScreens::PictureSlotOpen(int32_t slot) const { return Seen(Pictures(slot)[0]); }

int16_t AlbumScreens::SceneAt(int32_t slot) const {
  return SceneList[static_cast<size_t>((Page - 1) * kSlotsPerPage + slot - 1)];
}

bool AlbumScreens::SceneUnlocked(int16_t scene) const {
  return scene > 0 && SystemVars.Get(SceneUnlockVar(scene)) != 0;
}

void AlbumScreens::DrawLocked(int32_t slot) {
  const Point at = Corner(slot);
  CopyOpaque(host_.Sheet(), host_.Background(), at.x, at.y, kLockedLook.w, kLockedLook.h, kLockedLook.x, kLockedLook.y);
}

void AlbumScreens::DrawListPosition(TABitmap& target, int32_t slot, int32_t position) {
  const Point at = Corner(slot);
  const std::u16string number = FromUtf8(std::to_string(position));
  host_.TextOut(target, at.x + 5, at.y + 5, number, 24, 0, 0, 0);
  host_.TextOut(target, at.x + 4, at.y + 4, number, 24, 255, 0, 0);
}

void AlbumScreens::GalleryButton(int32_t button, int32_t pageTask) {
  switch (button) {
    case PreviousPage:
      Page = Page == 1 ? kPages : Page - 1;
      host_.SetTaskCode(pageTask);
      keptFocus_ = focus_.Chosen();
      break;
    case NextPage:
      Page = Page == kPages ? 1 : Page + 1;
      host_.SetTaskCode(pageTask);
      keptFocus_ = focus_.Chosen();
      break;
    case Back: host_.SetTaskCode(task::AlbumMenuOpen); break;
    default: break;
  }
}

void AlbumScreens::DrawGalleryHover() {
  if (IsSlot(Hover)) {
    const Point at = Corner(Hover);
    DrawKeyed(host_.Sheet(), host_.FrameSurface(), at.x - 2, at.y - 2, kHoverFrame.w, kHoverFrame.h, kHoverFrame.x,
              kHoverFrame.y, kHoverFrame.x + kHoverFrameKey.x, kHoverFrame.y + kHoverFrameKey.y);
  } else if (const album::Area* look = GalleryButtonRect(Hover)) {
    CopyOpaque(host_.Sheet(), host_.FrameSurface(), look->x, look->y, look->w, look->h, look->x, look->y);
  }
}

// ---- Event pictures ---------------------------------------------------------------------------------

void AlbumScreens::Kumo_DispCgMenu() {
  host_.LoadMenuScreen(PicturePageBackground(Page), kPictureSheet);
  // The background shows every thumbnail; those never shown are covered.
  for (int32_t slot = 1; slot <= kSlotsPerPage; ++slot)
    if (Pictures(slot)[0] != kNone && !PictureSlotOpen(slot)) DrawLocked(slot);
  host_.FadeInScreen(task::CgMenu);
  ResetFocus();
}

void AlbumScreens::Kumo_WaitCgMenu() {
  // A locked or empty slot takes neither hover nor clicks, whatever its later variants.
  UpdateFocus(GalleryItems([this](int32_t slot) { return PictureSlotOpen(slot); }));
  int32_t pointed = GalleryItemAt(host_.Input().MousePos);
  if (IsSlot(pointed) && !PictureSlotOpen(pointed)) pointed = 0;
  const int32_t item = TakeAction(pointed, Back, true);
  if (IsSlot(item)) {
    Slot = item;
    Variant = 1;
    host_.SetTaskCode(task::CgOpen);
  } else {
    GalleryButton(item, task::CgMenuOpen);
  }
}

void AlbumScreens::Kumo_DrawCgMenu() {
  if (host_.TaskCode() == task::CgMenu) DrawGalleryHover();
}

void AlbumScreens::Kumo_DispCg() {
  host_.LoadEventPicture(Pictures(Slot)[static_cast<size_t>(Variant - 1)]);
  host_.FadeInScreen(task::Cg);
}

void AlbumScreens::Kumo_WaitCg() {
  PassInput& input = host_.Input();
  // Escape goes back to the page, the slot still highlighted.
  if (input.KeyBack) {
    input.KeyBack = 0;
    keptFocus_ = Slot;
    host_.SetTaskCode(task::CgMenuOpen);
    return;
  }
  // A click or Enter shows the next picture.
  const bool enter = input.KeyEnter != 0;
  input.KeyEnter = 0;
  if (!TakeClick() && !enter) return;
  // The next variant that has been shown; variants never shown are passed over.
  const auto& pictures = Pictures(Slot);
  while (++Variant <= kMaxVariants && pictures[static_cast<size_t>(Variant - 1)] != kNone) {
    if (Seen(pictures[static_cast<size_t>(Variant - 1)])) {
      host_.SetTaskCode(task::CgOpen);
      return;
    }
  }
  keptFocus_ = Slot;
  host_.SetTaskCode(task::CgMenuOpen);
}

// ---- Event scenes -----------------------------------------------------------------------------------

void AlbumScreens::Kumo_DispEvMenu() {
  host_.LoadMenuScreen(ScenePageBackground(Page), kSceneSheet);
  for (int32_t slot = 1; slot <= kSlotsPerPage; ++slot)
    if (SceneAt(slot) != kNone && !SceneUnlocked(SceneAt(slot))) DrawLocked(slot);
  // The play list so far, drawn afresh with the page.
  for (int32_t slot = 1; slot <= kSlotsPerPage; ++slot) {
    const int32_t position = SceneAt(slot) == kNone ? -1 : host_.GetSceneTbl(SceneAt(slot));
    if (position > 0) DrawListPosition(host_.Background(), slot, position);
  }
  host_.FadeInScreen(task::EvMenu);
  ResetFocus();
}

void AlbumScreens::Kumo_WaitEvMenu() {
  UpdateFocus(GalleryItems([this](int32_t slot) { return SceneUnlocked(SceneAt(slot)); }));
  int32_t pointed = GalleryItemAt(host_.Input().MousePos);
  if (IsSlot(pointed) && !SceneUnlocked(SceneAt(pointed))) pointed = 0;
  const int32_t item = TakeAction(pointed, Back, true);
  if (!IsSlot(item)) {
    GalleryButton(item, task::EvMenuOpen);
    return;
  }
  // A scene joins the list at its end; picking a listed one plays the list.
  const int32_t position = host_.AddSceneTbl(SceneAt(item));
  if (position == -1) {
    host_.StartSceneReplay();
  } else if (position >= 1 && position <= kLastWrittenPosition) {
    // Written on the scene on show, so it stays until the page is set up again.
    DrawListPosition(host_.DisplaySurface(), item, position);
    SpeakItem(item);
  }
}

void AlbumScreens::Kumo_DrawEvMenu() {
  if (host_.TaskCode() == task::EvMenu) DrawGalleryHover();
}

}  // namespace mokuren
