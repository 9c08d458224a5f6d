// The album menu and the music room.
#include "base/task_codes.h"
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
  if (!host_.Input().ClickPending) return false;
  host_.Input().ClickPending = 0;
  return true;
}

void AlbumScreens::Kumo_DispAlbumMenu() {
  host_.PlayBGM(AlbumBgmNo, 1, BgmVariant, 1);
  host_.LoadMenuScreen(kMenuBackground, kMenuSheet);
  host_.FadeInScreen(task::AlbumMenu);
  host_.Input().ClickPending = 0;
}

void AlbumScreens::Kumo_WaitAlbumMenu() {
  Hover = MenuItemAt(host_.Input().MousePos);
  if (!TakeClick()) return;
  switch (Hover) {
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
}

void AlbumScreens::Kumo_WaitBgmMenu() {
  Hover = MusicItemAt(host_.Input().MousePos);
  if (!TakeClick() || Hover == 0) return;
  if (Hover == Back) {
    if (AlbumBgmNo == 0) AlbumBgmNo = kDefaultTrack;
    host_.PlayBGM(AlbumBgmNo, 1, BgmVariant, 1);
    host_.SetTaskCode(task::AlbumMenuOpen);
    return;
  }
  int32_t track = Hover;
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
