// What the hero's name may be. The original takes 2 to 6 full-width characters; a game played in a
// translation takes the names people of that language use: 1 to 16 letters of the translation's script
// (StoredHeroName keeps 16 UTF-16 units, so saves stay as they were), with a space, a hyphen or an
// apostrophe between the parts of a Latin, Cyrillic or Greek name, and a middle dot between those of a
// name written in Chinese characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mokuren {

enum class NameScript : uint8_t { Japanese, Latin, Cyrillic, Greek, Hangul, Han };

// The script names are written in for a translation's language ("ru", "pt_BR", "zh_CN"); "ja" and an empty
// language are the original's.
NameScript NameScriptOf(std::string_view language);

// A name of a translated game holds at most this many UTF-16 units: all that SAVE.DAT keeps of one.
inline constexpr size_t kMaxTranslatedNameUnits = 16;

// What a name typed for `script` is taken as: full-width Latin letters and the ideographic space become
// their ordinary forms (an input method may give them), blanks at either end go and runs of blanks become
// one. The original's names are taken as typed.
std::u16string NormalName(std::u16string_view typed, NameScript script);

// What a character is to a name of a translated game: a letter of its script (or an accent typed apart
// after one), a mark that may stand between two parts, or neither.
enum class NameCharacter : uint8_t { Letter, Between, Other };
NameCharacter ClassifyNameCharacter(char32_t c, NameScript script);

// Why a name (as NormalName gives it) is refused in a translated game: the characters it may not hold,
// each once in the order met (a letter of another script, a digit, a mark at an end or twice in a row),
// or, when it holds none of those, whether it is too short or too long.
struct NameRefusal {
  std::u16string characters;
  bool length = false;
  bool Refused() const { return length || !characters.empty(); }
};
NameRefusal CheckTranslatedName(std::u16string_view name, NameScript script);

}  // namespace mokuren
