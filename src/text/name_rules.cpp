#include "text/name_rules.h"

#include <vector>

namespace mokuren {

namespace {

std::string_view BaseLanguage(std::string_view language) { return language.substr(0, language.find_first_of("_-.@")); }

bool In(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// Marks that join letters into one (an accent typed apart).
bool CombiningMark(char32_t c) { return In(c, 0x0300, 0x036F); }

bool Letter(char32_t c, NameScript script) {
  switch (script) {
    case NameScript::Japanese: return true;
    case NameScript::Latin:
      return In(c, 'A', 'Z') || In(c, 'a', 'z') || (In(c, 0x00C0, 0x024F) && c != 0x00D7 && c != 0x00F7) ||
             In(c, 0x1E00, 0x1EFF);
    case NameScript::Cyrillic: return In(c, 0x0400, 0x052F) || In(c, 0x1C80, 0x1C8F);
    case NameScript::Greek:
      return c == 0x0386 || (In(c, 0x0388, 0x03FF) && c != 0x038B && c != 0x038D && c != 0x03A2) ||
             In(c, 0x1F00, 0x1FFF);
    case NameScript::Hangul: return In(c, 0xAC00, 0xD7A3) || In(c, 0x1100, 0x11FF) || In(c, 0x3131, 0x318E);
    case NameScript::Han:
      return In(c, 0x4E00, 0x9FFF) || In(c, 0x3400, 0x4DBF) || In(c, 0xF900, 0xFAFF) || In(c, 0x20000, 0x2FA1F) ||
             c == 0x3005;
  }
  return false;
}

// Marks that may stand between the parts of a name.
bool Inner(char32_t c, NameScript script) {
  switch (script) {
    case NameScript::Latin:
    case NameScript::Cyrillic:
    case NameScript::Greek: return c == ' ' || c == '-' || c == 0x2010 || c == '\'' || c == 0x2019;
    case NameScript::Han: return c == 0x00B7 || c == 0x30FB;
    case NameScript::Japanese:
    case NameScript::Hangul: return false;
  }
  return false;
}

std::u32string CodePoints(std::u16string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void Append(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  }
}

}  // namespace

NameCharacter ClassifyNameCharacter(char32_t c, NameScript script) {
  if (Letter(c, script) || (CombiningMark(c) && script != NameScript::Hangul && script != NameScript::Han))
    return NameCharacter::Letter;
  return Inner(c, script) ? NameCharacter::Between : NameCharacter::Other;
}

NameScript NameScriptOf(std::string_view language) {
  const std::string_view base = BaseLanguage(language);
  if (base.empty() || base == "ja") return NameScript::Japanese;
  for (std::string_view cyrillic : {"ru", "uk", "be", "bg", "mk", "sr", "kk", "ky", "mn", "tg", "tt", "ba", "cv"})
    if (base == cyrillic) return NameScript::Cyrillic;
  if (base == "el") return NameScript::Greek;
  if (base == "ko") return NameScript::Hangul;
  if (base == "zh" || base == "yue") return NameScript::Han;
  return NameScript::Latin;
}

std::u16string NormalName(std::u16string_view typed, NameScript script) {
  if (script == NameScript::Japanese) return std::u16string(typed);
  std::u16string out;
  for (char16_t c : typed) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<char16_t>(c - 0xFF01 + 0x21);
    if (c == 0x3000 || c == '\t') c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

NameRefusal CheckTranslatedName(std::u16string_view name, NameScript script) {
  NameRefusal r;
  const std::u32string points = CodePoints(name);
  const auto refuse = [&](char32_t c) {
    std::u16string one;
    Append(one, c);
    if (r.characters.find(one) == std::u16string::npos) r.characters += one;
  };
  for (size_t i = 0; i < points.size(); ++i) {
    const char32_t c = points[i];
    if (Letter(c, script) || (CombiningMark(c) && i > 0 && script != NameScript::Hangul && script != NameScript::Han))
      continue;
    // A mark between parts stands between two letters, never at an end or beside another mark.
    const bool between =
        i > 0 && i + 1 < points.size() && !Inner(points[i - 1], script) && !Inner(points[i + 1], script);
    if (Inner(c, script) && between) continue;
    refuse(c);
  }
  r.length = r.characters.empty() && (points.empty() || name.size() > kMaxTranslatedNameUnits);
  return r;
}

}  // namespace mokuren
