// The events file and the trace: what the automation contract adds to the engine.
#include <cstdio>
#include <iostream>

#include "app/TForm1.h"
#include "dialogs/TQueryForm.h"
#include "save/TForm7.h"
#include "text/TMsgForm.h"
#include "base/text_codec.h"

namespace mokuren {

std::string TForm1::AutomationFile(const std::string& name) const {
  std::filesystem::path p(name);
  return p.is_relative() ? (launchDir_ / p).string() : name;
}

uint32_t TForm1::ElapsedMs() { return loopStarted_ ? platform_.TickCount() - loopStartTick_ : 0; }

bool TForm1::LoadEvents(std::string& error) {
  if (options_.eventsFile.empty()) return true;
  return events_.Load(options_.eventsFile, error);
}

void TForm1::ApplyDueEvents() {
  // A "key" event holds its key for exactly one pass.
  for (const Event& release : keysToRelease_) {
    if (!platform_.DeliverEvent(release)) platform_.InjectKey(release.key, false);
  }
  keysToRelease_.clear();
  if (!loopStarted_) return;
  // One at a time: an event that opens a modal dialog runs passes, in which the events after it apply.
  while (std::optional<Event> e = events_.TakeNextDue(ElapsedMs())) {
    ApplyEvent(*e);
    if (terminated_) return;
  }
}

void TForm1::ReportEvent(const Event& e, const std::u16string& what) {
  ReportError(u"events line " + FromUtf8(std::to_string(e.line)) + u": " + what);
}

void TForm1::MenuClick(MenuItem item) {
  switch (item) {
    case MenuItem::menuKSkip: menuKSkipClick(); break;
    case MenuItem::menuSSkip: menuSSkipClick(); break;
    case MenuItem::menuAuto: menuAutoClick(); break;
    case MenuItem::menuWindow: menuWindowClick(); break;
    case MenuItem::menuFloat: menuFloatClick(); break;
    case MenuItem::menuSave: menuSaveClick(); break;
    case MenuItem::menuLoad: menuLoadClick(); break;
    case MenuItem::menuConfig: menuConfigClick(); break;
    case MenuItem::menuTitle: menuTitleClick(); break;
    case MenuItem::menuQuit: menuQuitClick(); break;
    case MenuItem::Count: break;
  }
}

void TForm1::ApplyEvent(const Event& e) {
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
      if (ModalOpen(FormId::TForm7)) {
        SaveLoadForm->Image1MouseDown(button, e.point);
      } else {
        FormMouseDown(button, e.point);
      }
      break;
    }
    case Verb::Move: platform_.InjectCursor(WindowId::Main, e.point); break;
    case Verb::FloatClick:
      platform_.InjectCursor(WindowId::Float, e.point);
      MsgForm->FormMouseDown(MouseButton::Left, e.point);
      break;
    case Verb::Wheel: e.yes ? FormMouseWheelUp() : FormMouseWheelDown(); break;
    case Verb::KeyDown:
    case Verb::KeyUp: platform_.InjectKey(e.key, e.verb == Verb::KeyDown); break;
    case Verb::Menu:
      if (platform_.MenuEnabled(e.item)) {
        PopupMenu1Popup();
        MenuClick(e.item);
      }
      break;
    case Verb::Dialog: AnswerFrontDialog(e.yes); break;
    case Verb::Quit: Close(); break;
    case Verb::DialogText: WriteDialogTexts(e.text); break;
    default: ApplySubsystemEvent(e); break;
  }
}

void TForm1::WriteDialogTexts(const std::string& file) {
  std::u16string texts;
  if (!modalStack_.empty() && !platform_.FrontDialogTexts(texts)) {
    for (const std::u16string& line : FormTexts(modalStack_.back())) texts += line + u"\n";
  }
  const std::string path = AutomationFile(file);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    ReportError(u"dialog-text: cannot write " + FromUtf8(path));
    return;
  }
  const std::string utf8 = ToUtf8(texts);
  std::fwrite(utf8.data(), 1, utf8.size(), out);
  std::fclose(out);
}

std::vector<std::u16string> TForm1::FormTexts(FormId form) {
  if (form == FormId::TQueryForm) return {QueryForm->Caption, QueryForm->Label1};
  return OtherFormTexts(form);
}

void TForm1::TraceTaskCode() {
  if (traced_ && tracedTaskCode_ == TaskCode) return;
  traced_ = true;
  tracedTaskCode_ = TaskCode;
  if (options_.traceFile.empty()) return;
  if (!traceFile_) {
    traceFile_.reset(std::fopen(options_.traceFile.c_str(), "a"));
    if (!traceFile_) return;
  }
  uint32_t tc = TaskCode < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(TaskCode)) : static_cast<uint32_t>(TaskCode);
  std::fprintf(traceFile_.get(), "%u TC=%s%x NO=%d ST=%d\n", ElapsedMs(), TaskCode < 0 ? "-" : "", tc, ScriptNo,
               StepNo);
  std::fflush(traceFile_.get());
}

}  // namespace mokuren
