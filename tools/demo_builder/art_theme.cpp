#include "art_theme.h"

#include <string>

namespace mokuren::demo {

ScreenTheme DemoTheme() {
  ScreenTheme theme;
  theme.title = u"木蓮";
  theme.subtitle = u"― もくれん ―";
  theme.credit = u"Mokuren demo";
  // Numbered as the rows read from the top (see kMusicRows), which is how sound.cpp files them.
  theme.tracks = {{5, u"01 朝の通学路"}, {6, u"02 学園の日々"},   {7, u"03 静かな夕暮れ"},
                  {1, u"04 胸さわぎ"},   {2, u"05 お祭りの夜"},   {3, u"06 雨音"},
                  {4, u"07 告白"},       {8, u"08 張りつめた空"}, {9, u"09 木蓮 〜メインテーマ〜"},
                  {10, u"10 また明日"}};
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
    const std::string number = std::string(track < 10 ? "0" : "") + std::to_string(track);
    const std::string label = number + " M" + number + ".ogg";
    theme.tracks[track] = std::u16string(label.begin(), label.end());
  }
  return theme;
}

}  // namespace mokuren::demo
