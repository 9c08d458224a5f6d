#include "text/TNameForm.h"

#include <algorithm>

#include "base/text_codec.h"
#include "text/engine_texts.h"

namespace mokuren {

namespace {

bool LeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Whether every byte of the Shift-JIS text belongs to a double-byte character.
bool AllDoubleByte(std::string_view sjis) {
  for (size_t i = 0; i < sjis.size(); i += 2)
    if (!LeadByte(static_cast<uint8_t>(sjis[i])) || i + 1 == sjis.size()) return false;
  return true;
}

// ① stands for the hero's name and 「 opens speech in scenario text, so a name holding one would break
// every message it appears in. ①-⑳ are Shift-JIS 0x8740-0x8753.
bool Forbidden(char16_t c) { return (c >= u'①' && c <= u'⑳') || c == u'「'; }

}  // namespace

void TNameForm::Tell(std::u16string reason) {
  // The reason of this try replaces whatever an earlier one showed.
  MessageTimer = 50;
  Label1 = std::move(reason);
}

void TNameForm::CheckName() {
  if (script_ != NameScript::Japanese) {
    const std::u16string name = NormalName(Edit1, script_);
    // The name the dialog offers is taken as it is, even one the translation left in the original.
    const NameRefusal refusal = name == DefaultName ? NameRefusal{} : CheckTranslatedName(name, script_);
    if (refusal.Refused()) {
      Tell(refusal.length ? LengthHint : FillInName(Refused, u"{name}", refusal.characters));
      return;
    }
    host_.AcceptHeroName(name);
    ModalResult = mrOk;
    return;
  }
  // A character Shift-JIS cannot hold comes back as "?", a single byte, and is refused with the rest.
  std::u16string refused;
  std::copy_if(Edit1.begin(), Edit1.end(), std::back_inserter(refused), Forbidden);
  const bool fits = AllDoubleByte(Utf16ToCp932(Edit1)) && Edit1.size() >= kMinLength && Edit1.size() <= kMaxLength;
  if (!fits || !refused.empty()) {
    Tell(fits ? FillInName(Refused, u"{name}", refused) : LengthHint);
    return;
  }
  host_.AcceptHeroName(Edit1);
  ModalResult = mrOk;
}

bool TNameForm::Timer1Timer() {
  MessageTimer = std::max(0, MessageTimer - 1);
  if (MessageTimer != 1) return false;
  Label1 = Hint;
  return true;
}

void TNameForm::Translate(const TextTranslator& text) {
  Caption = text(kCaption);
  Button1Caption = text(kButton1Caption);
  translatedHint_ = text(kTranslatedHint);
  translatedLengthHint_ = text(kTranslatedLengthHint);
  const bool translated = script_ != NameScript::Japanese;
  Hint = translated ? translatedHint_ : text(kHint);
  LengthHint = translated ? translatedLengthHint_ : text(kLengthHint);
  Refused = text(kRefused);
  if (MessageTimer == 0) Label1 = Hint;
}

void TNameForm::UseNames(NameScript script, std::u16string defaultName) {
  const bool untouched = Edit1 == DefaultName;
  script_ = script;
  DefaultName = std::move(defaultName);
  if (untouched) Edit1 = DefaultName;
  if (script_ != NameScript::Japanese) {
    Hint = translatedHint_;
    LengthHint = translatedLengthHint_;
  }
  if (MessageTimer == 0) Label1 = Hint;
}

void TNameForm::Offer(std::u16string_view name) {
  if (name.empty()) return;
  const std::u16string offered(name);
  if (script_ == NameScript::Japanese ? Typed(offered) == offered : !CheckTranslatedName(offered, script_).Refused())
    Edit1 = offered;
  MessageTimer = 0;
  Label1 = Hint;
}

std::u16string TNameForm::Typed(std::u16string_view text) {
  std::u16string kept, refused;
  bool tooLong = false;
  if (script_ == NameScript::Japanese) {
    size_t bytes = 0, characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      // A surrogate pair is one character, which Shift-JIS writes as a single "?".
      const size_t units = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
      const std::u16string_view c = text.substr(i, units);
      i += units - 1;
      const size_t size = Utf16ToCp932(c).size();
      if (size != 2) {
        refused.append(c);
        continue;
      }
      if (bytes + size > kMaxBytes || characters == kMaxLength) {
        tooLong = true;
        break;
      }
      bytes += size;
      ++characters;
      kept.append(c);
    }
    if (!refused.empty() || tooLong) Tell(LengthHint);
    return kept;
  }
  // A character of another script, or a digit, is not taken; a mark between a name's parts is, as it is
  // typed before the next part, but not first nor twice in a row.
  const std::u16string normal = NormalName(text, script_);
  const bool trailingBlank = !text.empty() && (text.back() == u' ' || text.back() == u'\u3000');
  const std::u16string typed = trailingBlank && !normal.empty() ? normal + u" " : normal;
  bool afterMark = true;
  for (size_t i = 0; i < typed.size(); ++i) {
    const bool pair = typed[i] >= 0xD800 && typed[i] < 0xDC00 && i + 1 < typed.size();
    const char32_t c =
        pair ? 0x10000 + ((static_cast<char32_t>(typed[i]) - 0xD800) << 10) + (typed[i + 1] - 0xDC00) : typed[i];
    const std::u16string_view units = std::u16string_view(typed).substr(i, pair ? 2 : 1);
    i += pair ? 1 : 0;
    const NameCharacter kind = ClassifyNameCharacter(c, script_);
    if (kind == NameCharacter::Other || (kind == NameCharacter::Between && afterMark)) {
      if (kind == NameCharacter::Other) refused.append(units);
      continue;
    }
    if (kept.size() + units.size() > kMaxTranslatedNameUnits) {
      tooLong = true;
      break;
    }
    kept.append(units);
    afterMark = kind == NameCharacter::Between;
  }
  if (!refused.empty())
    Tell(FillInName(Refused, u"{name}", refused));
  else if (tooLong)
    Tell(LengthHint);
  return kept;
}

}  // namespace mokuren
