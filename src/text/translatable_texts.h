// The texts of a game that a translation replaces, each under the name (a gettext context) that ties a
// translation to it:
//   "script N message M"        what a message says, M the message-table line its instruction's P1 names
//                               (the line that keys its read mark); the speaker is left out
//   "script N choice M item K"  item K (from 1) of a choice, as the engine splits it
//   "speaker"                   a speaker's name, translated once for every message it speaks
//   "title"                     the first line of title.txt
//   "hero name"                 the name the name dialog offers until the player gives one
//   "engine"                    the engine's own texts (engine_texts.h): they have a template of their own,
//                               shipped with the engine; a game's translation may still give them
// The original (the msgid) is the text in UTF-8 as the script holds it, "①" and "/" included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "script/script_image.h"

namespace mokuren {

enum class TextKind : uint8_t { Message, ChoiceItem, Speaker, Title, HeroName, Engine };

inline constexpr char kSpeakerContext[] = "speaker";
inline constexpr char kTitleContext[] = "title";
inline constexpr char kHeroNameContext[] = "hero name";

std::string MessageContext(int script, int line);
std::string ChoiceItemContext(int script, int line, int item);

struct TextContext {
  TextKind kind = TextKind::Message;
  int script = 0;
  int line = 0;
  int item = 0;
};
// The kind and numbers a context names; nothing for a context no game text has.
std::optional<TextContext> ParseTextContext(std::string_view context);

// A message as the engine shows it: the speaker is everything before the first "「", the body the rest
// (the whole text when there is no "「").
struct SpokenText {
  std::u16string speaker;
  std::u16string body;
};
SpokenText SplitSpeaker(std::u16string_view text);

struct TranslatableText {
  TextKind kind = TextKind::Message;
  std::string context;
  std::u16string original;
  int script = 0;
  int step = -1;           // the first instruction that shows it, -1 for texts outside the scripts
  int line = 0;            // message-table line
  int item = 0;            // choice item, from 1
  std::u16string speaker;  // a message's speaker (untranslated), empty for narration
  std::u16string voice;    // the voice file's name (as in VOICE/), empty for none
};

// Every text of a game a translation may replace, gathered script by script.
class GameTexts {
 public:
  // The messages and choice items of a script, in the order of the instructions that show them (a line
  // shown twice is listed once; a text chosen by a variable cannot be known and is left out), and the
  // speakers they name for the first time.
  void AddScript(int script, const ScriptImage& image);
  void AddTitle(std::u16string_view title);
  // The hero's name the name dialog offers first.
  void AddDefaultHeroName();
  // The engine's own texts: not part of the game's template, but a game's translation may give them.
  void AddEngineTexts();

  // The game's texts, as its template lists them: the scripts' in the order added, then the speakers, the
  // title and the hero's name.
  std::vector<TranslatableText> All() const;
  // The engine's own texts, when added.
  const std::vector<TranslatableText>& Engine() const { return engine_; }
  // Whether some text of the game has this context and original (UTF-8).
  bool Has(std::string_view context, std::string_view original) const;
  // The text of a context that names one text (messages, choice items, the title), or null.
  const TranslatableText* Find(std::string_view context) const;

 private:
  void Add(TranslatableText text);

  std::vector<TranslatableText> scripts_, speakers_, others_, engine_;
  std::unordered_set<std::string> keys_;  // context + '\4' + original, as gettext joins them
  std::unordered_map<std::string, std::pair<int, size_t>> byContext_;  // (0 scripts_, 1 others_), index
};

}  // namespace mokuren
