// The events file and the trace: what the automation contract adds to the engine.
#include <cstdio>
#include <iostream>

#include "app/automation.h"

#include "app/TForm1.h"
#include "base/text_codec.h"
#include "dialogs/TDebugForm.h"
#include "dialogs/TQueryForm.h"
#include "save/TForm7.h"
#include "text/TMsgForm.h"

namespace mokuren {

Automation::Automation(TForm1& engine, Platform& platform, const LaunchOptions& options)
    : engine_(engine), platform_(platform), options_(options) {}

bool Automation::LoadEvents(std::string& error) {
  if (options_.eventsFile.empty()) return true;
  return events_.Load(options_.eventsFile, error);
}

void Automation::ApplyDueEvents(uint32_t elapsedMs) {
  // A "key" event holds its key for exactly one pass.
  for (const Event& release : keysToRelease_) {
    if (!platform_.DeliverEvent(release)) platform_.InjectKey(release.key, false);
  }
  keysToRelease_.clear();
  while (std::optional<Event> e = events_.TakeNextDue(elapsedMs)) {
    ApplyEvent(*e);
    if (engine_.Terminated()) return;
  }
}

void Automation::ReportEvent(const Event& e, const std::u16string& what) {
  engine_.ReportError(u"events line " + FromUtf8(std::to_string(e.line)) + u": " + what);
}

void Automation::ApplyEvent(const Event& e) {
  if (e.verb == Verb::Key) {
    // Down now, up at the start of the next pass.
    Event down = e, up = e;
    down.verb = Verb::KeyDown;
    up.verb = Verb::KeyUp;
    keysToRelease_.push_back(up);
    ApplyEvent(down);
    return;
  }
  // A window that is not shown cannot be clicked.
  if (e.verb == Verb::FloatClick && !platform_.FloatVisible()) {
    std::cerr << "mokuren: events line " << e.line << ": float-click: the floating window is not shown\n";
    return;
  }
  // A backend with real widgets delivers the window verbs through them.
  if (platform_.DeliverEvent(e)) return;
  switch (e.verb) {
    case Verb::Click:
    case Verb::RClick: {
      platform_.InjectCursor(WindowId::Main, e.point);
      const MouseButton button = e.verb == Verb::Click ? MouseButton::Left : MouseButton::Right;
      // The save/load screen lies over the main window and takes the clicks while it is up.
      if (engine_.ModalOpen(FormId::TForm7)) {
        engine_.SaveLoadForm->Image1MouseDown(button, e.point);
      } else {
        engine_.FormMouseDown(button, e.point);
      }
      break;
    }
    case Verb::Move: platform_.InjectCursor(WindowId::Main, e.point); break;
    case Verb::FloatClick:
      platform_.InjectCursor(WindowId::Float, e.point);
      engine_.MsgForm->FormMouseDown(MouseButton::Left, e.point);
      break;
    case Verb::Wheel: e.yes ? engine_.FormMouseWheelUp() : engine_.FormMouseWheelDown(); break;
    case Verb::KeyDown:
    case Verb::KeyUp: platform_.InjectKey(e.key, e.verb == Verb::KeyDown); break;
    case Verb::Menu:
      if (platform_.MenuEnabled(e.item)) {
        engine_.PopupMenu1Popup();
        engine_.MenuClick(e.item);
      }
      break;
    case Verb::Dialog: engine_.AnswerFrontDialog(e.yes); break;
    case Verb::Quit: engine_.Close(); break;
    case Verb::DialogText: WriteDialogTexts(e.text); break;
    default: ApplySubsystemEvent(e); break;
  }
}

void Automation::ApplySubsystemEvent(const Event& e) {
  switch (e.verb) {
    case Verb::Screenshot:
    case Verb::ScreenshotFloat: engine_.SaveScreenshot(e.text, e.verb == Verb::ScreenshotFloat); break;
    case Verb::Debug: engine_.DebugForm->DebugDumpEvent(e); break;
    case Verb::Name:
    case Verb::Config: engine_.Dialogs().ApplyDialogEvent(e); break;
    default: engine_.ApplySaveEvent(e); break;
  }
}

void Automation::WriteDialogTexts(const std::string& file) {
  std::u16string texts;
  if (const std::optional<FormId> front = engine_.FrontForm(); front && !platform_.FrontDialogTexts(texts)) {
    for (const std::u16string& line : engine_.FormTexts(*front)) texts += line + u"\n";
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) {
    engine_.ReportError(u"dialog-text: cannot write " + FromUtf8(file));
    return;
  }
  const std::string utf8 = ToUtf8(texts);
  std::fwrite(utf8.data(), 1, utf8.size(), out);
  std::fclose(out);
}

void Automation::TraceTaskCode(uint32_t elapsedMs, int32_t taskCode, int32_t scriptNo, int32_t stepNo) {
  if (traced_ && tracedTaskCode_ == taskCode) return;
  traced_ = true;
  tracedTaskCode_ = taskCode;
  if (options_.traceFile.empty()) return;
  if (!traceFile_) {
    traceFile_.reset(std::fopen(options_.traceFile.c_str(), "a"));
    if (!traceFile_) return;
  }
  uint32_t tc = taskCode < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(taskCode)) : static_cast<uint32_t>(taskCode);
  std::fprintf(traceFile_.get(), "%u TC=%s%x NO=%d ST=%d\n", elapsedMs, taskCode < 0 ? "-" : "", tc, scriptNo, stepNo);
  std::fflush(traceFile_.get());
}

}  // namespace mokuren
