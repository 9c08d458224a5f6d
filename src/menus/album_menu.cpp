// The album menu and the music room.
#include "base/spoken_texts.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "graphics/ABitmap.h"
#include "graphics/ABitmapFilters32.h"
#include "menus/album_layout.h"
#include "menus/album_screens.h"

namespace mokuren {

using namespace album;

namespace {

// The track the menus play when the music room was left with none chosen.
constexpr int32_t kDefaultTrack = 9;

constexpr auto kMenuItems = [] {
  std::array<FocusItem, BackToTitle> items{};
  for (int32_t item = PictureGallery; item <= BackToTitle; ++item)
    items[static_cast<size_t>(item - 1)] = {item, {kMenuLeft, MenuItemTop(item), kMenuWidth, kMenuRowHeight}};
  return items;
}();

// The music room's rows, top to bottom, each by the track it plays first, then its way back.
constexpr auto kMusicItems = [] {
  std::array<FocusItem, kMusicRows.size() + 1> items{};
  for (size_t row = 0; row < kMusicRows.size(); ++row)
    items[row] = {kMusicRows[row],
                  {kMusicRowLeft, kMusicFirstRowTop + static_cast<int32_t>(row) * kMusicRowHeight, kMusicRowWidth,
                   kMusicRowHeight}};
  items.back() = {Back, {kMusicBack.x, kMusicBack.y, kMusicBack.w, kMusicBack.h}};
  return items;
}();

}  // namespace

void AlbumScreens::FillAlbumTables() {
  CgTable = kStandardCgTable;
  SceneList = kStandardSceneList;
}

bool AlbumScreens::TakeClick() {
  if (!host_.Input().ClickPending) return false;
  host_.Input().ClickPending = 0;
  return true;
}

void AlbumScreens::ResetFocus() {
  focus_.Reset(host_.Input().MousePos);
  if (keptFocus_ != 0) focus_.Choose(keptFocus_);
  keptFocus_ = 0;
}

void AlbumScreens::UpdateFocus(std::span<const FocusItem> items) {
  Hover = focus_.Update(items, host_.Input().MousePos, host_.Input().Move);
  if (focus_.TakeChange()) SpeakItem(Hover);
}

int32_t AlbumScreens::TakeAction(int32_t pointed, int32_t back, bool pages) {
  PassInput& input = host_.Input();
  if (TakeClick()) return pointed;
  if (input.KeyEnter && Hover != 0) {
    input.KeyEnter = 0;
    return Hover;
  }
  if (input.KeyBack) {
    input.KeyBack = 0;
    return back;
  }
  // PageUp and PageDown (F1, F2) turn a gallery's pages, the wheel does not.
  if (pages && !input.LogByWheel && (input.KeyLogBack || input.KeyLogForward)) {
    const int32_t button = input.KeyLogBack ? PreviousPage : NextPage;
    input.KeyLogBack = input.KeyLogForward = 0;
    return button;
  }
  return 0;
}

void AlbumScreens::SpeakItem(int32_t item) {
  if (item == 0) return;
  const auto number = [](int32_t n) { return FromUtf8(std::to_string(n)); };
  switch (host_.TaskCode()) {
    case task::AlbumMenu:
      if (item >= PictureGallery && item <= BackToTitle)
        host_.SpeakFocus(spoken_text::kAlbumItems[static_cast<size_t>(item - 1)]);
      return;
    case task::BgmMenu:
      if (item == Back)
        host_.SpeakFocus(spoken_text::kBack);
      else
        host_.SpeakFocus(
            MusicRowTop(host_.TrackPlaying()) == MusicRowTop(item) ? spoken_text::kTrackPlaying : spoken_text::kTrack,
            {{u"track", number(item)}});
      return;
    default: break;
  }
  switch (item) {
    case PreviousPage: host_.SpeakFocus(spoken_text::kPreviousPage); return;
    case NextPage: host_.SpeakFocus(spoken_text::kNextPage); return;
    case Back: host_.SpeakFocus(spoken_text::kBack); return;
    default: break;
  }
  const int32_t listed = host_.TaskCode() == task::EvMenu ? host_.GetSceneTbl(SceneAt(item)) : 0;
  if (listed > 0)
    host_.SpeakFocus(spoken_text::kSceneInList,
                     {{u"page", number(Page)}, {u"slot", number(item)}, {u"position", number(listed)}});
  else
    host_.SpeakFocus(spoken_text::kGallerySlot, {{u"page", number(Page)}, {u"slot", number(item)}});
}

void AlbumScreens::Kumo_DispAlbumMenu() {
  host_.PlayBGM(AlbumBgmNo, 1, BgmVariant, 1);
  host_.LoadMenuScreen(kMenuBackground, kMenuSheet);
  host_.FadeInScreen(task::AlbumMenu);
  host_.Input().ClickPending = 0;
  ResetFocus();
}

void AlbumScreens::Kumo_WaitAlbumMenu() {
  UpdateFocus(kMenuItems);
  switch (TakeAction(MenuItemAt(host_.Input().MousePos), BackToTitle)) {
    case PictureGallery:
      Page = 1;
      host_.SetTaskCode(task::CgMenuOpen);
      break;
    case SceneGallery:
      // A new play list for every visit.
      Page = 1;
      host_.ClearSceneTbl();
      host_.SetTaskCode(task::EvMenuOpen);
      break;
    case MusicRoom:
      host_.PlayBGM(0, 2, BgmVariant, 0);
      host_.SetTaskCode(task::BgmMenuOpen);
      break;
    case OpeningMovie: host_.StartAlbumMovie(); break;
    case BackToTitle: host_.SetTaskCode(task::TitleMenuOpen); break;
    default: break;
  }
}

void AlbumScreens::Kumo_DrawAlbumMenu() {
  if (host_.TaskCode() != task::AlbumMenu || Hover < PictureGallery || Hover > BackToTitle) return;
  const int32_t top = MenuItemTop(Hover);
  CopyOpaque(host_.Sheet(), host_.FrameSurface(), kMenuLeft, top, kMenuWidth, kMenuRowHeight, kMenuLeft, top);
}

void AlbumScreens::Kumo_DispBgmMenu() {
  host_.LoadMenuScreen(kMusicBackground, kMusicSheet);
  host_.FadeInScreen(task::BgmMenu);
  // Nothing chosen yet: each track starts in its first version.
  BgmVariant = 0;
  AlbumBgmNo = 0;
  ResetFocus();
}

void AlbumScreens::Kumo_WaitBgmMenu() {
  UpdateFocus(kMusicItems);
  const int32_t item = TakeAction(MusicItemAt(host_.Input().MousePos), Back);
  if (item == 0) return;
  if (item == Back) {
    if (AlbumBgmNo == 0) AlbumBgmNo = kDefaultTrack;
    host_.PlayBGM(AlbumBgmNo, 1, BgmVariant, 1);
    host_.SetTaskCode(task::AlbumMenuOpen);
    return;
  }
  int32_t track = item;
  int variant = BgmVariant;
  if (AlbumBgmNo == track) {
    // The row of the track chosen last switches to its other version; row 8 alternates with track 9.
    // Tracks 8-10 have no second version, so their rows leave the version the other rows play alone.
    if (track <= kTracksWithVersions) variant = variant ? 0 : 1;
    if (track == 8) track = 9;
  }
  AlbumBgmNo = track;
  host_.PlayBGM(track, 1, variant, 1);
}

void AlbumScreens::Kumo_DrawBgmMenu() {
  if (host_.TaskCode() != task::BgmMenu) return;
  if (Hover == Back) {
    CopyOpaque(host_.Sheet(), host_.FrameSurface(), kMusicBackLook.x, kMusicBackLook.y, kMusicBackLook.w,
               kMusicBackLook.h, kMusicBackLook.x, kMusicBackLook.y);
  } else if (const int32_t top = MusicRowTop(Hover); top >= 0) {
    CopyOpaque(host_.Sheet(), host_.FrameSurface(), kMusicRowLeft, top, kMusicRowWidth, kMusicRowHeight, kMusicRowLeft,
               top);
  }
  // The mark follows the music really heard, which the room's own choice need not be.
  if (const int32_t top = MusicRowTop(host_.TrackPlaying()); top >= 0) {
    host_.TextOut(host_.FrameSurface(), 41, top + 3, u"♪", 32, 0, 0, 0);
    host_.TextOut(host_.FrameSurface(), 40, top + 2, u"♪", 32, 0, 255, 0);
    // The row shared by tracks 8 and 9 says which of the two is heard.
    if (const int32_t track = host_.TrackPlaying(); track == 8 || track == 9) {
      const std::u16string number = track == 8 ? u"08" : u"09";
      host_.TextOut(host_.FrameSurface(), 17, top + 14, number, 16, 0, 0, 0);
      host_.TextOut(host_.FrameSurface(), 16, top + 13, number, 16, 0, 255, 0);
    }
  }
}

}  // namespace mokuren
