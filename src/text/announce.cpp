// What the player is shown, passed on to those who cannot see it or read Japanese: the text hook and
// speech (--text-hook, --speak).
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "text/game_translation.h"
#include "text/message_window.h"
#include "text/speech.h"
#include "text/text_hook.h"

namespace mokuren {

void MessageWindow::Hook(const std::u16string& line) {
  if (!textHook_ || textHook_->WriteLine(line) || textHookFailed_) return;
  textHookFailed_ = true;
  errors_.Add(error_text::kTextHookBehind, {});
}

void MessageWindow::Speak(const std::u16string& line) {
  if (!speaker_ || speaker_->Say(line)) return;
  speaker_.reset();
  errors_.Add(error_text::kSpeechLost, {});
}

bool MessageWindow::OpenTextReaders(const std::string& textHook, bool speak, std::string& error) {
  if (!textHook.empty()) {
    textHook_ = std::make_unique<TextHook>();
    if (!textHook_->Open(textHook, error)) {
      error = "cannot open the text hook " + textHook + ": " + error;
      return false;
    }
  }
  if (speak) SetSpeaking(true);
  return true;
}

void MessageWindow::SetSpeaking(bool on) {
  if (!on) {
    speaker_.reset();
    return;
  }
  if (speaker_) return;
  speaker_ = std::make_unique<Speech>();
  std::string why;
  if (!speaker_->Start(why)) {
    speaker_.reset();
    errors_.Add(u"--speak: " + FromUtf8(why));
  }
}

void MessageWindow::AnnounceMessage(const std::u16string& source) {
  // Scene skip never shows the message.
  if (SceneSkip) return;
  // What the player reads: the translation, when the message is shown translated.
  const std::optional<std::u16string> translated = translation_->ForReaders(source, HeroName);
  const std::u16string line = translated ? *translated : MessageForReaders(source, HeroName);
  Hook(line);
  // A voiced message is heard already; while skipping, nothing is read.
  if (CurrentVoice == -1 && FastForward == 0) Speak(line);
}

void MessageWindow::SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {
  if (speaker_) Speak(FillIn(EngineText(text), fields));
}

void MessageWindow::SpeakShown(const std::u16string& text) {
  if (speaker_ && !text.empty()) Speak(text);
}

void MessageWindow::AnnounceChoices() {
  std::u16string spoken;
  for (int32_t i = 0; i < ChoiceCount; ++i) {
    const std::u16string line = FromUtf8(std::to_string(i + 1)) + u". " + ChoiceTexts[static_cast<size_t>(i)];
    Hook(line);
    spoken += line + u"。";
  }
  Speak(spoken);
}

}  // namespace mokuren
