// What the player is shown, passed on to those who cannot see it or read Japanese: the text hook and
// speech (--text-hook, --speak).
#include "app/TForm1.h"
#include "base/text_codec.h"
#include "text/game_translation.h"
#include "text/speech.h"
#include "text/text_hook.h"

namespace mokuren {

namespace {

void Hook(TForm1& form, const std::u16string& line) {
  if (!form.TextHookOut || form.TextHookOut->WriteLine(line) || form.TextHookFailed) return;
  form.TextHookFailed = true;
  form.ReportError(u"text hook: a line could not be written (the reader may not keep up); such lines are dropped");
}

void Speak(TForm1& form, const std::u16string& line) {
  if (!form.Speaker || form.Speaker->Say(line)) return;
  form.Speaker.reset();
  form.ReportError(u"--speak: speech-dispatcher could not be reached; messages are no longer read aloud");
}

}  // namespace

bool TForm1::OpenTextReaders(std::string& error) {
  if (!options().textHook.empty()) {
    TextHookOut = std::make_unique<TextHook>();
    if (!TextHookOut->Open(options().textHook, error)) {
      error = "cannot open the text hook " + options().textHook + ": " + error;
      return false;
    }
  }
  if (options().speak) {
    Speaker = std::make_unique<Speech>();
    std::string why;
    if (!Speaker->Start(why)) {
      Speaker.reset();
      ReportError(u"--speak: " + FromUtf8(why));
    }
  }
  return true;
}

void TForm1::AnnounceMessage(const std::u16string& source) {
  // Scene skip never shows the message.
  if (SceneSkip) return;
  // What the player reads: the translation, when the message is shown translated.
  const std::optional<std::u16string> translated =
      Translation ? Translation->ForReaders(source, HeroName) : std::nullopt;
  const std::u16string line = translated ? *translated : MessageForReaders(source, HeroName);
  Hook(*this, line);
  // A voiced message is heard already; while skipping, nothing is read.
  if (CurrentVoice == -1 && FastForward == 0) Speak(*this, line);
}

void TForm1::AnnounceChoices() {
  std::u16string spoken;
  for (int32_t i = 0; i < ChoiceCount; ++i) {
    const std::u16string line = FromUtf8(std::to_string(i + 1)) + u". " + ChoiceTexts[static_cast<size_t>(i)];
    Hook(*this, line);
    spoken += line + u"。";
  }
  Speak(*this, spoken);
}

}  // namespace mokuren
