// The title menu: set-up, waiting for the player's choice, the highlight, and the way back to it from
// a running game.
#include "menus/title_menu.h"

#include <array>
#include <cstdio>

#include "base/error_texts.h"
#include "base/spoken_texts.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "graphics/ABitmapFilters32.h"
#include "menus/title_screen.h"

namespace mokuren {

using namespace title_menu;

TitleMenu::TitleMenu(MenuHost& host, SaveBlock& block, Platform& platform, ErrorList& errors)
    : host_(host),
      platform_(platform),
      errors_(errors),
      SystemVars(block.SystemVarsRaw),
      AlbumBgmNo(block.AlbumBgmNo),
      BgmVariant(block.Live.BgmVariant),
      LayerImage(block.Live.LayerImage),
      CursorShown(block.Live.CursorShown),
      SystemMenuAllowed(block.Live.SystemMenuAllowed) {}

bool TitleMenu::MovieSwitchOn() const { return SystemVars.Get(kMovieSwitchVar) != 0; }

namespace {

// The items as the keys and the pointer choose them.
constexpr auto kFocusItems = [] {
  std::array<FocusItem, kItemCount> items{};
  for (int32_t item = 1; item <= kItemCount; ++item)
    items[static_cast<size_t>(item - 1)] = {item, {kItemLeft, ItemTop(item), kItemWidth, kItemHeight}};
  return items;
}();

}  // namespace

void TitleMenu::SpeakItem(int32_t item) {
  if (item < 1 || item > kItemCount) return;
  const std::u16string_view name = spoken_text::kTitleItems[static_cast<size_t>(item - 1)];
  if (item == MovieSwitch)
    host_.SpeakFocus(MovieSwitchOn() ? spoken_text::kSwitchOn : spoken_text::kSwitchOff,
                     {{u"item", std::u16string(name)}});
  else
    host_.SpeakFocus(name);
}

void TitleMenu::Kumo_DispTitleMenu() {
  // The album music, or the default track when none is set.
  if (AlbumBgmNo == 0) AlbumBgmNo = kDefaultMusic;
  host_.PlayBGM(AlbumBgmNo, 1, BgmVariant, 1);
  LoadMenuScreen(kBackgroundEntry, kSheetEntry);
  // Starting the fade may compose NextSurface afresh, so the switch's look goes on after it; the
  // fade's first step is on the next pass.
  StartMenuFade(task::TitleMenu);
  // A movie switch that is on shows its on look.
  if (MovieSwitchOn())
    CopyOpaque(host_.Sheet(), host_.NextSurface(), kItemLeft, kMovieSwitchY, kItemWidth, kItemHeight,
               kMovieSwitchSheetX, kMovieSwitchY);
  // No click carried over, and nothing chosen by the pointer left where it was.
  host_.Input().ClickPending = 0;
  focus_.Reset(host_.Input().MousePos);
}

void TitleMenu::Kumo_WaitTitleMenu() {
  // The item the pointer was moved onto or the keys chose is highlighted; a click acts on the item under
  // the pointer, Enter on the highlighted one.
  PassInput& input = host_.Input();
  MenuHover = focus_.Update(kFocusItems, input.MousePos, input.Move);
  if (focus_.TakeChange()) SpeakItem(MenuHover);
  int32_t item = 0;
  if (input.ClickPending) {
    input.ClickPending = 0;
    item = ItemAt(input.MousePos);
  } else if (input.KeyEnter && MenuHover != None) {
    input.KeyEnter = 0;
    item = MenuHover;
  } else {
    return;
  }
  switch (item) {
    case Start: TitleStartGame(); break;
    case Load:
      // The save/load screen's own pictures: its page background and its parts sheet.
      host_.LoadPicture(202, 102, true);
      host_.LoadPicture(203, 103, true);
      host_.ShowSaveLoadScreen(1);
      break;
    case title_menu::Album: host_.SetTaskCode(task::AlbumMenuOpen); break;
    case MovieSwitch:
      SystemVars.Set(kMovieSwitchVar, MovieSwitchOn() ? 0 : -1);
      SpeakItem(MovieSwitch);
      break;
    case Quit: host_.Close(); break;
    default: break;
  }
}

void TitleMenu::TitleStartGame() {
  BeginPlay(1);
  host_.WorkVars().Set(101, 0);
  // The script goes on after its title command.
  host_.SetTaskCode(task::Script);
}

void TitleMenu::Kumo_DrawTitleMenu() {
  if (host_.TaskCode() != task::TitleMenu) return;
  // Hover highlight.
  if (MenuHover >= 1 && MenuHover <= kItemCount)
    CopyOpaque(host_.Sheet(), host_.FrameSurface(), kItemLeft, ItemTop(MenuHover), kItemWidth, kItemHeight, kItemLeft,
               ItemTop(MenuHover));
  // The switch's look wins over its hover highlight.
  if (MovieSwitchOn())
    CopyOpaque(host_.Sheet(), host_.FrameSurface(), kItemLeft, kMovieSwitchY, kItemWidth, kItemHeight,
               kMovieSwitchSheetX, kMovieSwitchY);
}

void TitleMenu::menuTitleClick() {
  // Refusing leaves the game as it was.
  host_.Confirm(u"タイトルに戻りますか？", [this] { ReturnToTitle(); });
}

void TitleMenu::ReturnToTitle() {
  host_.GoToTitleCommand();
  host_.SetTaskCode(task::Script);
}

void TitleMenu::LeaveUnknownTask() {
  char code[16];
  std::snprintf(code, sizeof code, "%X", static_cast<uint32_t>(host_.TaskCode()));
  errors_.Add(error_text::kUnknownTask, {{u"code", FromUtf8(code)}});
  ReturnToTitle();
}

}  // namespace mokuren
