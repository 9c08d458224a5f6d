#include "project/starter_project.h"

#include <cstdio>
#include <map>

#include "app/game_title.h"
#include "art.h"
#include "art_theme.h"
#include "base/text_codec.h"
#include "project/starter_media.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;

namespace mokuren::project {

namespace {

const char* kScript1 =
    R"(# {TITLE}: script 1, where the game starts. The title menu comes first; "はじめから" goes on below it.
# The story's scenes are scripts of their own, numbered 2 to 14: the engine keeps read marks for their
# messages (and not for scripts above 14), so read-skip passes the lines the player has seen.
cursor 1
sysmenu 0
title                       ; the title menu (system/061-title.png); a new game goes on below

sysmenu 1                   ; the right-click menu and the buttons along the message window
allowskip 1
call first, 2               ; the first scene: scenario/2_first.txt
msg "（おしまい）"
sysmenu 0
title
)";

const char* kFirstScene =
    R"(# Script 2: the first scene. Script 1 calls it ("call first, 2"); it returns there at its end.
# Pictures are the files of pictures/ by name; music and effects are Sound/M01.ogg and Sound/S01.ogg.
# The language is described in docs/scenario-language.md (man mokuren-asm points to it).
*first
bg "BG01"                   ; pictures/BG01.png
show
bgm 1, 1, 2                 ; Sound/M01.ogg, looping, fading in over 2 seconds
msg "ここから物語が始まります。/メッセージは三行まで、スラッシュで改行します。"
layer2 center, "CH01"       ; pictures/CH01.png: a character stands on a whole 800x600 canvas
show
msg "案内人「はじめまして。どちらの道へ進みますか？」"
choice "右の道へ,左の道へ"
se 1                        ; Sound/S01.ogg
if W1 == 1
  msg "案内人「右の道ですね。では、また。」"
else
  msg "案内人「左の道ですね。では、また。」"
endif
layer2 keep, 0              ; the character leaves
show
return
)";

const char* kAlbum = R"(# The album's picture gallery: which pictures of pictures/ fill which slot. One line a slot:
#
#   PAGE-SLOT  FIRST [VARIANTS...]        for example:   1-1  EV01A EV01B
#
# mokuren-build puts them at the GRAPHIC.DAT entries the engine's album keeps for the slot (page 1,
# slot 1 is 371 and 372), so scripts show them by name (bg "EV01A") and the album opens the slot once its
# first picture has been shown. Most slots take two pictures. The album's pages are the pictures
# system/071-... to 080-...; draw each slot's thumbnail on them.
)";

const char* kLintConfig =
    R"(# mokuren-lint's settings for this game. Under [rules], a rule (mokuren-lint --rules lists them) is
# set to "off", "warning" or "error":
#
#   label-unused = "off"       # our labels mark the chapters
#
# A single line of a scenario is spared with a comment on it:  *chapter2   ; lint: off label-unused
[rules]
)";

const char* kEvents =
    R"(# The first scene as a player meets it. mokuren-test plays it headless on a clock that is the same on
# every run, compares each screenshot with the picture of the same name beside this file, the sound
# with first.sound and the order of the screens with first.trace. After a change you meant, look at
# the report, then:  mokuren-test --update tests
#
# Each "wait" holds the lines after it until the game waits for the player there (the title menu, a
# message typed whole, a choice); "+MS" counts from the line before. So the test still meets the game
# at the right moments after you add or lengthen a message.
wait title
+100 click 200 110            # "はじめから" on the title menu
wait message                  # the first message, typed whole
+100 click 400 300            # on to the next
wait message
+50 screenshot first-message.png  # after a frame: the screen is drawn 30 times a second
+100 click 400 300            # on to the choice
wait choice
+100 move 400 240             # over the first choice, which lights up
+500 screenshot first-choice.png
+100 click 400 240            # "右の道へ"
wait message
+50 screenshot first-answer.png
)";

const char* kReadme = R"(# {TITLE}

A game for the Mokuren engine. The sources are yours: write, build, play, check and test.

    mokuren-build .              # scenario/, pictures/ and system/ into SCRIPT.DAT, GRAPHIC.DAT, SYSGRP.DAT
    mokuren .                    # play it
    mokuren-lint .               # find the mistakes a player would meet
    mokuren-test tests           # play the recorded sessions and compare them with their goldens

- scenario/   the scripts: script N is the file whose name carries N (script1.txt, 2_first.txt)
- pictures/   backgrounds, characters (each on a whole 800x600 canvas) and event pictures, by name
- system/     the engine's own pictures, NNN-what.png for SYSGRP.DAT entry NNN; repaint them freely
- Sound/      music M01.ogg ... (M01P.ogg ... the second versions of 1-7; M09.ogg plays on the title),
              effects S01.ogg ...; voices go in VOICE/
- album.txt   which pictures fill the album's slots
- mokuren-lint.toml   rules this game turns off
- tests/      sessions for mokuren-test, with their goldens

The whole workflow is docs/writers.md of Mokuren's documentation (share/doc/mokuren/writers.md).
)";

const char* kGitignore = "SCRIPT.DAT\nGRAPHIC.DAT\nSYSGRP.DAT\n.mokuren-build\nSAVE.DAT*\nTHUMB/\nmokuren.lock\n";

std::string WithTitle(std::string text, const std::string& title) {
  for (size_t at; (at = text.find("{TITLE}")) != std::string::npos;) text.replace(at, 7, title);
  return text;
}

// What each system picture is, for its file name.
std::string Role(int entry) {
  static const char* kButtons[] = {"bgm", "voice", "qsave", "qload", "save", "load", "skip", "auto"};
  static const char* kLooks[] = {"normal", "hover", "on", "on-hover"};
  if (entry == 1) return "message-window";
  if (entry >= 3 && entry <= 10) return std::string("button-") + kButtons[entry - 3] + "-disabled";
  if (entry >= 13 && entry <= 50 && (entry - 1) % 10 >= 2)  // buttons 3-10 in looks 0-3: 13-20, ..., 43-50
    return std::string("button-") + kButtons[(entry - 1) % 10 - 2] + "-" + kLooks[(entry - 11) / 10];
  static const std::map<int, const char*> kNamed = {{51, "system-sheet"},        {52, "choice-band"},
                                                    {53, "choice-band-lit"},     {61, "title"},
                                                    {63, "title-sheet"},         {65, "album-menu"},
                                                    {66, "album-menu-sheet"},    {67, "music-room"},
                                                    {68, "music-room-sheet"},    {97, "picture-gallery-sheet"},
                                                    {98, "scene-gallery-sheet"}, {121, "save-load-parts"}};
  if (const auto it = kNamed.find(entry); it != kNamed.end()) return it->second;
  if (entry >= 71 && entry <= 80) return "picture-gallery-page" + std::to_string(entry - 70);
  if (entry >= 81 && entry <= 90) return "scene-gallery-page" + std::to_string(entry - 80);
  if (entry >= 111 && entry <= 120) return "save-page" + std::to_string(entry - 110);
  if (entry >= 131 && entry <= 140) return "load-page" + std::to_string(entry - 130);
  return "picture";
}

}  // namespace

void WriteStarterProject(const fs::path& dir, const std::string& title, std::ostream& progress) {
  auto write = [&](const fs::path& relative, const std::string& bytes) {
    fs::create_directories((dir / relative).parent_path());
    toolkit::WriteWholeFile(dir / relative, bytes);
  };
  write(kGameTitleFile, title + "\n");
  write("README.md", WithTitle(kReadme, title));
  write(".gitignore", kGitignore);
  write("scenario/script1.txt", WithTitle(kScript1, title));
  write("scenario/2_first.txt", kFirstScene);
  write("album.txt", kAlbum);
  write("mokuren-lint.toml", kLintConfig);
  write("tests/first.events", kEvents);
  progress << "  scenario/script1.txt, scenario/2_first.txt, album.txt, mokuren-lint.toml, tests/first.events\n";

  write("pictures/BG01.png", PlaceholderBackground());
  write("pictures/CH01.png", PlaceholderCharacter());
  progress << "  pictures/BG01.png, pictures/CH01.png\n" << std::flush;

  // The music room names the tracks a player can pick there; track 9 is the title's.
  const std::map<int, std::string> sysgrp = demo::MakeSystemArt(demo::StarterTheme(FromUtf8(title), {1}), {});
  for (const auto& [entry, png] : sysgrp) {
    char name[64];
    std::snprintf(name, sizeof name, "system/%03d-%s.png", entry, Role(entry).c_str());
    write(name, png);
  }
  progress << "  system/: " << sysgrp.size() << " pictures\n" << std::flush;

  write("Sound/M01.ogg", PlaceholderMusic(60, 8));
  write("Sound/M01P.ogg", PlaceholderMusic(57, 8));
  write("Sound/M09.ogg", PlaceholderMusic(65, 8));
  write("Sound/S01.ogg", PlaceholderEffect());
  progress << "  Sound/M01.ogg, Sound/M01P.ogg, Sound/M09.ogg (the title's), Sound/S01.ogg\n" << std::flush;
}

}  // namespace mokuren::project
