// The names of mokuren-lint's rules, each with a line saying what it finds. A game's lint configuration
// and the "lint: off" comments of its sources may name only these; `mokuren-lint --rules` prints them.
#pragma once

#include <array>
#include <string_view>

namespace mokuren::lint {

struct Rule {
  std::string_view name;
  std::string_view finds;
};

inline constexpr std::array<Rule, 35> kRules = {{
    {"jump-target", "a jump or call to a label or script that is not there"},
    {"block-end", "an if or else that finds no else or endif of its block"},
    {"label-unused", "a label no jump or call leads to, or a second label of the same name"},
    {"script-unreachable", "a script never reached from script 1 or the album's scene list"},
    {"variable-range", "a variable numbered outside 1-512"},
    {"picture-missing", "a picture name or entry that GRAPHIC.DAT does not hold"},
    {"picture-broken", "a picture that does not decode"},
    {"character-canvas", "a character picture that is not an 800x600 canvas"},
    {"music-missing", "a music file a script, the title or the music room plays that is missing"},
    {"effect-missing", "an effect file a script plays that is missing"},
    {"voice-missing", "a voice file a message names that is missing"},
    {"sound-broken", "a sound file that does not decode to its end"},
    {"movie", "op.ogv missing where a script plays it, or one the engine refuses"},
    {"message-line", "a message or choice whose text line the script does not have"},
    {"message-overflow", "a message past three lines"},
    {"name-overflow", "a message a longer hero's name pushes past three lines"},
    {"read-skip", "messages in a script above 14 that the story reaches: they are never marked read"},
    {"glyph-missing", "a character the message font cannot show"},
    {"speaker", "a speaker's name wider than its band, or narration read as a speaker"},
    {"choice-fit", "a choice the engine cuts, or more than nine choices"},
    {"choice-one", "a choice of one item, where the player has nothing to choose"},
    {"choice-band", "a choice wider than the solid part of its band picture"},
    {"choice-name", "the hero's name placeholder in a choice, where it is not replaced"},
    {"album-picture", "an album slot or screen whose pictures the game lacks"},
    {"scene-flag", "an album scene whose unlock flag no script sets, or a flag with no scene"},
    {"save-data", "a SAVE.DAT that the game no longer fits"},
    {"first-script", "an empty or missing script 1"},
    {"startup-picture", "a system picture the engine loads at start-up that is missing"},
    {"title", "a title.txt that cannot be used"},
    {"archive", "a missing or damaged archive"},
    {"script-format", "a script entry the engine has to mend"},
    {"source", "a scenario source that does not compile"},
    {"source-stale", "a scenario source that no longer matches SCRIPT.DAT"},
    {"translation",
     "a tl/*.po translation that does not fit, loses \"①\", or names texts the game lacks or has changed"},
    {"lint-config", "a mistake in mokuren-lint.toml or in a \"lint: off\" comment"},
}};

constexpr bool IsRule(std::string_view name) {
  for (const Rule& r : kRules)
    if (r.name == name) return true;
  return false;
}

}  // namespace mokuren::lint
