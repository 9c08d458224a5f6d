// The album menu and the music room.
#include "graphics/ABitmap.h"
#include "graphics/ABitmapFilters32.h"
#include "menus/album_layout.h"
#include "menus/album_screens.h"

namespace mokuren {

using namespace album;

namespace {

// The track the menus play when the music room was left with none chosen.
constexpr int32_t kDefaultTrack = 9;

}  // namespace

void AlbumScreens::FillAlbumTables() {
  CgTable = kStandardCgTable;
  SceneList = kStandardSceneList;
}

bool AlbumScreens::TakeClick() {
  if (!links_.ClickPending) return false;
  links_.ClickPending = 0;
  return true;
}

void AlbumScreens::Kumo_DispAlbumMenu() {
  links_.PlayBGM(links_.AlbumBgmNo, 1, links_.BgmVariant, 1);
  links_.LoadMenuScreen(kMenuBackground, kMenuSheet);
  links_.FadeInScreen(task::AlbumMenu);
  links_.ClickPending = 0;
}

void AlbumScreens::Kumo_WaitAlbumMenu() {
  Hover = MenuItemAt(links_.MousePos);
  if (!TakeClick()) return;
  switch (Hover) {
    case PictureGallery:
      Page = 1;
      links_.TaskCode = task::CgMenuOpen;
      break;
    case SceneGallery:
      // A new play list for every visit.
      Page = 1;
      links_.ClearSceneTbl();
      links_.TaskCode = task::EvMenuOpen;
      break;
    case MusicRoom:
      links_.PlayBGM(0, 2, links_.BgmVariant, 0);
      links_.TaskCode = task::BgmMenuOpen;
      break;
    case OpeningMovie: links_.StartAlbumMovie(); break;
    case BackToTitle: links_.TaskCode = task::TitleMenuOpen; break;
    default: break;
  }
}

void AlbumScreens::Kumo_DrawAlbumMenu() {
  if (links_.TaskCode != task::AlbumMenu || Hover < PictureGallery || Hover > BackToTitle) return;
  const int32_t top = MenuItemTop(Hover);
  CopyOpaque(links_.Sheet, links_.FrameSurface, kMenuLeft, top, kMenuWidth, kMenuRowHeight, kMenuLeft, top);
}

void AlbumScreens::Kumo_DispBgmMenu() {
  links_.LoadMenuScreen(kMusicBackground, kMusicSheet);
  links_.FadeInScreen(task::BgmMenu);
  // Nothing chosen yet: each track starts in its first version.
  links_.BgmVariant = 0;
  links_.AlbumBgmNo = 0;
}

void AlbumScreens::Kumo_WaitBgmMenu() {
  Hover = MusicItemAt(links_.MousePos);
  if (!TakeClick() || Hover == 0) return;
  if (Hover == Back) {
    if (links_.AlbumBgmNo == 0) links_.AlbumBgmNo = kDefaultTrack;
    links_.PlayBGM(links_.AlbumBgmNo, 1, links_.BgmVariant, 1);
    links_.TaskCode = task::AlbumMenuOpen;
    return;
  }
  int32_t track = Hover;
  int variant = links_.BgmVariant;
  if (links_.AlbumBgmNo == track) {
    // The row of the track chosen last switches to its other version; row 8 alternates with track 9.
    // Tracks 8-10 have no second version, so their rows leave the version the other rows play alone.
    if (track <= kTracksWithVersions) variant = variant ? 0 : 1;
    if (track == 8) track = 9;
  }
  links_.AlbumBgmNo = track;
  links_.PlayBGM(track, 1, variant, 1);
}

void AlbumScreens::Kumo_DrawBgmMenu() {
  if (links_.TaskCode != task::BgmMenu) return;
  if (Hover == Back) {
    CopyOpaque(links_.Sheet, links_.FrameSurface, kMusicBackLook.x, kMusicBackLook.y, kMusicBackLook.w,
               kMusicBackLook.h, kMusicBackLook.x, kMusicBackLook.y);
  } else if (const int32_t top = MusicRowTop(Hover); top >= 0) {
    CopyOpaque(links_.Sheet, links_.FrameSurface, kMusicRowLeft, top, kMusicRowWidth, kMusicRowHeight, kMusicRowLeft,
               top);
  }
  // The mark follows the music really heard, which the room's own choice need not be.
  if (const int32_t top = MusicRowTop(links_.TrackPlaying()); top >= 0) {
    links_.TextOut(links_.FrameSurface, 41, top + 3, u"♪", 32, 0, 0, 0);
    links_.TextOut(links_.FrameSurface, 40, top + 2, u"♪", 32, 0, 255, 0);
  }
}

}  // namespace mokuren
