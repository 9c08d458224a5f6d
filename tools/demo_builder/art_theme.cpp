#include "art_theme.h"

#include <string>

namespace mokuren::demo {

ScreenTheme DemoTheme() {
  ScreenTheme theme;
  theme.title = u"木蓮";
  theme.subtitle = u"― もくれん ―";
  theme.credit = u"Mokuren demo";
  theme.tracks = {{1, u"朝の通学路"}, {2, u"学園の日々"},   {3, u"静かな夕暮れ"},
                  {4, u"胸さわぎ"},   {5, u"お祭りの夜"},   {6, u"雨音"},
                  {7, u"告白"},       {8, u"張りつめた空"}, {9, u"木蓮 〜メインテーマ〜"},
                  {10, u"また明日"}};
  theme.scenes = {{101, u"朝の迎え", 371}, {102, u"放課後の約束", 407}, {103, u"雨の帰り道", 387}};
  theme.emptySlot = u"体験版には未収録";
  return theme;
}

ScreenTheme StarterTheme(const std::u16string& title, const std::vector<int>& tracks) {
  ScreenTheme theme;
  theme.title = title;
  theme.blossoms = false;
  theme.movie = false;
  for (int track : tracks) {
    const std::string file = "M" + std::string(track < 10 ? "0" : "") + std::to_string(track) + ".ogg";
    theme.tracks[track] = std::u16string(file.begin(), file.end());
  }
  return theme;
}

}  // namespace mokuren::demo
