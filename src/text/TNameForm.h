// TNameForm: the hero's name dialog ("その男の名前は・・・"). The script's name-entry instruction shows it
// modally; only a name it accepts closes it: in the original, 2 to 6 full-width characters free of the
// characters that mean something in scenario text; in a translated game, a name of the translation's
// script (text/name_rules.h). The view shows Edit1, Button1 and Label1, hands what the player types to
// Typed and calls Button1Click.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/modal_result.h"
#include "base/text_translator.h"
#include "text/name_form_host.h"
#include "text/name_rules.h"

namespace mokuren {

class TNameForm {
 public:
  static constexpr std::u16string_view kHint = u"全角２文字以上　６文字以内で名前を入力してください";
  // Shown for a while after a name of the wrong length or with a half-width character.
  static constexpr std::u16string_view kLengthHint = u"全角2〜6文字で入力してください";
  // Shown for a name holding characters that mean something in scenario text, "{name}" being them.
  static constexpr std::u16string_view kRefused = u"{name} は名前に使用できません";
  // A translated game's hints: its names are 1 to 16 letters.
  static constexpr std::u16string_view kTranslatedHint = u"名前を入力してください（1〜16文字）";
  static constexpr std::u16string_view kTranslatedLengthHint = u"名前は1〜16文字です";
  static constexpr std::u16string_view kCaption = u"その男の名前は・・・";
  static constexpr std::u16string_view kButton1Caption = u"決定";
  // The text box holds at most this many bytes of Shift-JIS text.
  static constexpr size_t kMaxBytes = 12;
  // A name is 2-6 full-width characters; the box starts with the default name.
  static constexpr size_t kMinLength = 2;
  static constexpr size_t kMaxLength = 6;
  static constexpr std::u16string_view kDefaultName = u"カザミネ";

  explicit TNameForm(NameFormHost& host) : host_(host) {}

  std::u16string Caption{kCaption};
  std::u16string Edit1{kDefaultName};  // kept between two uses of the dialog
  // The name offered until the player gives one: the original's, or the translation's.
  std::u16string DefaultName{kDefaultName};
  std::u16string Button1Caption{kButton1Caption};
  std::u16string Label1{kHint};
  // The hints and the refusal as the player reads them.
  std::u16string Hint{kHint}, LengthHint{kLengthHint}, Refused{kRefused};
  int32_t MessageTimer = 0;  // tenths of a second until the hint returns to Label1
  int ModalResult = mrNone;

  // Every text of the dialog as `text` translates its Japanese original.
  void Translate(const TextTranslator& text);
  // Names from now on follow the rules of `script`, and `defaultName` is offered (in the box too, while
  // the player has given none).
  void UseNames(NameScript script, std::u16string defaultName);
  NameScript Script() const { return script_; }
  void Button1Click() { CheckName(); }
  // Accepts Edit1 as the hero's name and closes the dialog, or leaves it open with the reason in Label1:
  // LengthHint for a name of the wrong length (or, in the original, with a half-width character), Refused
  // naming the characters a name may not hold (①-⑳ and 「 in the original).
  void CheckName();
  // Timer1, every 100 ms: counts MessageTimer down and brings the hint back, so a refusal stays about
  // 4.9 s. True when Label1 changed.
  bool Timer1Timer();
  // Puts `name` in the box when it is a name the dialog accepts: the dialog offers the name stored in
  // SAVE.DAT (one stored by another language's rules is not offered).
  void Offer(std::u16string_view name);

  // What the box keeps of what the player typed: only what a name can hold, so that the box shows a name
  // 決定 accepts as soon as it is long enough. In the original a half-width character is not taken and
  // the text ends at six characters and kMaxBytes of Shift-JIS; in a translated game a character of
  // another script is not taken and the text ends at kMaxTranslatedNameUnits. When something was not
  // taken, Label1 says why for a while.
  std::u16string Typed(std::u16string_view text);

 private:
  // The reason of a refusal in Label1, for about five seconds.
  void Tell(std::u16string reason);

  NameFormHost& host_;
  NameScript script_ = NameScript::Japanese;
  std::u16string translatedHint_{kTranslatedHint}, translatedLengthHint_{kTranslatedLengthHint};
};

}  // namespace mokuren
