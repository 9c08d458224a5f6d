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

void TNameForm::CheckName() {
  // A character Shift-JIS cannot hold comes back as "?", a single byte, and is refused with the rest.
  std::u16string refused;
  std::copy_if(Edit1.begin(), Edit1.end(), std::back_inserter(refused), Forbidden);
  const bool fits = AllDoubleByte(Utf16ToCp932(Edit1)) && Edit1.size() >= kMinLength && Edit1.size() <= kMaxLength;
  if (!fits || !refused.empty()) {
    // The reason of this try replaces whatever an earlier one showed.
    MessageTimer = 50;
    Label1 = fits ? FillInName(Refused, u"{name}", refused) : LengthHint;
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
  Hint = text(kHint);
  LengthHint = text(kLengthHint);
  Refused = text(kRefused);
  if (MessageTimer == 0) Label1 = Hint;
}

void TNameForm::Offer(std::u16string_view name) {
  if (!name.empty()) Edit1 = FitBox(name);
}

std::u16string TNameForm::FitBox(std::u16string_view text) {
  std::u16string fitted;
  size_t bytes = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // A surrogate pair is one character, which Shift-JIS writes as a single "?".
    const size_t units = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
    bytes += Utf16ToCp932(text.substr(i, units)).size();
    if (bytes > kMaxBytes) break;
    fitted.append(text.substr(i, units));
    i += units - 1;
  }
  return fitted;
}

}  // namespace mokuren
