// TNameForm: the hero's name dialog ("その男の名前は・・・"). The script's name-entry instruction shows it
// modally; only a name of 2 to 6 full-width characters, free of the characters that mean something in
// scenario text, closes it. The view shows Edit1, Button1 and Label1 and calls Button1Click.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/modal_result.h"
#include "base/text_translator.h"
#include "text/name_form_host.h"

namespace mokuren {

class TNameForm {
 public:
  static constexpr std::u16string_view kHint = u"全角２文字以上　６文字以内で名前を入力してください";
  // Shown for a while after a name of the wrong length or with a half-width character.
  static constexpr std::u16string_view kLengthHint = u"全角2〜6文字で入力してください";
  // Shown for a name holding characters that mean something in scenario text, "{name}" being them.
  static constexpr std::u16string_view kRefused = u"{name} は名前に使用できません";
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
  std::u16string Button1Caption{kButton1Caption};
  std::u16string Label1{kHint};
  // The hints and the refusal as the player reads them.
  std::u16string Hint{kHint}, LengthHint{kLengthHint}, Refused{kRefused};
  int32_t MessageTimer = 0;  // tenths of a second until the hint returns to Label1
  int ModalResult = mrNone;

  // Every text of the dialog as `text` translates its Japanese original.
  void Translate(const TextTranslator& text);
  void Button1Click() { CheckName(); }
  // Accepts Edit1 as the hero's name and closes the dialog, or leaves it open with the reason in Label1:
  // LengthHint for a name that is not 2-6 full-width characters, Refused naming the characters for one
  // holding ①-⑳ or 「.
  void CheckName();
  // Timer1, every 100 ms: counts MessageTimer down and brings the hint back, so a refusal stays about
  // 4.9 s. True when Label1 changed.
  bool Timer1Timer();
  // Puts `name` in the box when it is not empty: the dialog offers the name stored in SAVE.DAT.
  void Offer(std::u16string_view name);

  // What typing leaves in the box: text beyond kMaxBytes is cut off at a whole character.
  static std::u16string FitBox(std::u16string_view text);

 private:
  NameFormHost& host_;
};

}  // namespace mokuren
