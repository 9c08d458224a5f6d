#include "dialogs/TDebugForm.h"

#include <random>

#include "base/text_codec.h"
#include "dialogs/debug_dump.h"
#include "platform/output_file.h"

namespace mokuren {

void TDebugForm::FormCreate(std::u16string_view mainCaption, int32_t tag) {
  SetMainCaption(mainCaption, tag);
  Label1.clear();
  Memo1.clear();
}

void TDebugForm::SetMainCaption(std::u16string_view mainCaption, int32_t tag) {
  Caption = u"Debug Window : " + std::u16string(mainCaption) + u" Ver." + FromUtf8(std::to_string(tag / 1000)) + u"." +
            FromUtf8(std::to_string(tag % 1000));
}

bool TDebugForm::SetStatus(std::u16string label1, std::u16string label2) {
  if (label1 == Label1 && label2 == Label2) return false;
  Label1 = std::move(label1);
  Label2 = std::move(label2);
  return true;
}

void TDebugForm::Click(Button button) {
  switch (button) {
    case Button1: Button1Click(); break;
    case Button2: Button2Click(); break;
    case Button3: Button3Click(); break;
    case Button4: Button4Click(); break;
    case Button5: Button5Click(); break;
    case Button6: Button6Click(); break;
    case ButtonCount: break;
  }
}

void TDebugForm::Button1Click() { Memo1 = FlagDumpLines(ScenarioVars, SystemVars, host_.WorkVars()); }

void TDebugForm::Button2Click() { Memo1 = host_.MessageLogLines(); }

void TDebugForm::Button3Click() {
  SetAlbum([] { return uint8_t{1}; });
}

void TDebugForm::Button4Click() {
  SetAlbum([] { return uint8_t{0}; });
}

void TDebugForm::Button5Click() {
  // A draw from 0-998: odd sets, even clears.
  std::uniform_int_distribution<int> draw(0, 998);
  SetAlbum([&] { return static_cast<uint8_t>(draw(host_.Random()) & 1); });
}

void TDebugForm::Button6Click() { Memo1 = ReturnTableDumpLines(live_.ReturnTable); }

// The event pictures' seen flags first, then the album's unlock flags S201-S300.
void TDebugForm::SetAlbum(const std::function<uint8_t()>& value) {
  for (uint8_t& seen : CgSeenFlags) seen = value();
  for (int n = 201; n <= 300; ++n) SystemVars.Set(n, value());
}

void TDebugForm::Kumo_Debug() {
  // A hidden window costs the pass nothing.
  if (!Visible) return;
  if (SetStatus(host_.InterpreterStatus(), SoundStatusLine(live_))) platform_.FormChanged(FormId::TDebugForm);
}

bool TDebugForm::DebugDumpEvent(const Event& e) {
  std::vector<std::u16string> lines;
  if (e.button == DebugButtonName::Status) {
    lines = {host_.InterpreterStatus(), SoundStatusLine(live_)};
  } else {
    Click(static_cast<Button>(e.button));
    platform_.FormChanged(FormId::TDebugForm);
    lines = Memo1;
  }
  // A file named in the events file is taken as given: a relative name from the directory the program was
  // started in, which the engine never changes.
  std::string problem;
  if (WriteOutputFile(e.text, JoinLinesUtf8(lines), problem)) return true;
  errors_.Add(u"debug: cannot write " + FromUtf8(e.text) + u": " + FromUtf8(problem));
  return false;
}

}  // namespace mokuren
