// The events file and the trace: what the automation contract adds to the engine.
#include <cstdio>
#include <iostream>

#include "app/automation.h"

#include "app/TForm1.h"
#include "app/game_moment.h"
#include "base/modal_result.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/TDebugForm.h"
#include "dialogs/TQueryForm.h"
#include "platform/output_file.h"
#include "save/TForm7.h"
#include "text/TMsgForm.h"
#include "text/TNameForm.h"

namespace mokuren {

Automation::Automation(TForm1& engine, Platform& platform, const LaunchOptions& options)
    : engine_(engine), platform_(platform), options_(options) {}

bool Automation::LoadEvents(std::string& error) {
  if (options_.eventsFile.empty()) return true;
  return events_.Load(options_.eventsFile, error);
}

bool Automation::StartRecording(std::string& error) {
  if (options_.recordEvents.empty()) return true;
  return recorder_.Open(options_.recordEvents, options_.gameDir, error);
}

void Automation::ApplyDueEvents(uint32_t elapsedMs) {
  CheckOutputs();
  if (recorder_.Active()) recorder_.Look(engine_.PassCount(), elapsedMs, AskGameMoment(engine_));
  // Passes run inside a line that opens a modal window: the outer line is still being applied after them.
  const bool outer = applying_;
  const uint32_t outerStart = passStartMs_;
  applying_ = true;
  passStartMs_ = elapsedMs;
  ApplyDueLines(elapsedMs);
  applying_ = outer;
  if (outer) passStartMs_ = outerStart;
  if (recorder_.Active()) RecordKeys(elapsedMs);
}

void Automation::ApplyDueLines(uint32_t elapsedMs) {
  // A "key" event holds its key for exactly one pass.
  for (const Event& release : keysToRelease_) {
    if (!platform_.DeliverEvent(release)) platform_.InjectKey(release.key, false);
  }
  keysToRelease_.clear();
  while (const Event* next = events_.Next()) {
    if (events_.DueMs(*next) > elapsedMs) return;
    lastLineMs_ = elapsedMs;
    if (next->verb == Verb::Wait) {
      if (!HoldWait(*next, elapsedMs)) return;
      events_.Take(elapsedMs);
      continue;
    }
    const Event e = events_.Take(elapsedMs);
    appliedPass_ = engine_.PassCount();
    ApplyEvent(e);
    if (engine_.Terminated()) return;
  }
  if (options_.endAfterEventsMs && elapsedMs - lastLineMs_ >= *options_.endAfterEventsMs) engine_.CloseConfirmed();
}

bool Automation::HoldWait(const Event& wait, uint32_t elapsedMs) {
  if (waitLine_ != wait.line) {
    waitLine_ = wait.line;
    waitSinceMs_ = elapsedMs;
    seenPass_ = 0;
  }
  // Only passes after the line before count: a click applied in this pass has not yet moved the message
  // it advances. The condition must hold at the start of two passes in a row, so that the game has also
  // brought its popup menu and buttons up to date for what it waits for.
  const GameMoment moment = AskGameMoment(engine_);
  const int64_t pass = engine_.PassCount();
  if (pass > appliedPass_ && WaitHolds(wait, moment)) {
    if (seenPass_ == pass - 1 && seenPass_ > appliedPass_) {
      waitLine_ = 0;
      return true;
    }
    seenPass_ = pass;
  }
  if (elapsedMs - waitSinceMs_ >= wait.timeoutMs) FailWait(wait, moment);
  return false;
}

void Automation::FailWait(const Event& wait, const GameMoment& moment) {
  const std::string what = WaitText(wait);
  char code[16];
  std::snprintf(code, sizeof code, "%s%x", moment.taskCode < 0 ? "-" : "",
                static_cast<uint32_t>(moment.taskCode < 0 ? -static_cast<int64_t>(moment.taskCode) : moment.taskCode));
  const std::string message = "events file " + options_.eventsFile + " line " + std::to_string(wait.line) + ": " +
                              what + " did not come within " + std::to_string(wait.timeoutMs) + " ms (TaskCode is " +
                              code + ")";
  // The error list shows it, and writes it on standard error in a run with an events file.
  engine_.ReportError(FromUtf8(message));
  exitStatus_ = 3;
  engine_.CloseConfirmed();
}

int64_t Automation::InputPass() const { return engine_.PassCount() + (applying_ ? 0 : 1); }
uint32_t Automation::InputMs() { return applying_ ? passStartMs_ : engine_.ElapsedMs(); }

void Automation::Record(const std::string& line) { recorder_.Write(InputPass(), InputMs(), line); }
void Automation::RecordNow(const std::string& line) { recorder_.Write(engine_.PassCount(), engine_.ElapsedMs(), line); }

void Automation::RecordKeys(uint32_t elapsedMs) {
  for (size_t k = 0; k < keysDown_.size(); ++k) {
    const Key key = static_cast<Key>(k);
    const bool down = platform_.KeyDown(key);
    if (down == keysDown_[k]) continue;
    keysDown_[k] = down;
    recorder_.Write(engine_.PassCount(), elapsedMs,
                    std::string(down ? "keydown " : "keyup ") + std::string(KeyName(key)));
  }
}

void Automation::PlayerMouseDown(MouseButton button, Point p) {
  if (!recorder_.Active()) return;
  const std::string at = " " + std::to_string(p.x) + " " + std::to_string(p.y);
  if (button == MouseButton::Right) {
    recorder_.RightClick(InputPass(), InputMs(), "rclick" + at);
  } else {
    Record("click" + at);
  }
}

void Automation::PlayerSaveLoadMouseDown(MouseButton button, Point p) {
  if (recorder_.Active())
    Record(std::string(button == MouseButton::Right ? "rclick " : "click ") + std::to_string(p.x) + " " +
           std::to_string(p.y));
}

void Automation::PlayerFloatMouseDown(MouseButton button, Point p) {
  // The floating window takes the left button's presses below its band; a press on the band drags it.
  if (recorder_.Active() && button == MouseButton::Left && p.y > TMsgForm::DragBand)
    Record("float-click " + std::to_string(p.x) + " " + std::to_string(p.y));
}

void Automation::PlayerWheel(bool up) {
  if (recorder_.Active()) Record(up ? "wheel up" : "wheel down");
}

void Automation::PlayerMenu(MenuItem item) {
  if (recorder_.Active()) recorder_.MenuItemChosen(InputPass(), InputMs(), "menu " + std::string(MenuItemName(item)));
}

void Automation::PlayerClose() {
  // A close that a click or menu item of this pass asked for is that line's doing.
  if (recorder_.Active() && !recorder_.WroteInPass(engine_.PassCount()) && !recorder_.WroteInPass(InputPass()))
    Record("quit");
}

void Automation::PlayerAnswered(FormId form, int modalResult) {
  // Answered in the last of the passes the window ran: the lines count from then, not from the line that
  // opened it.
  if (!recorder_.Active()) return;
  const std::string answer = modalResult == mrOk ? "dialog ok" : "dialog cancel";
  switch (form) {
    case FormId::TQueryForm: RecordNow(answer); break;
    case FormId::TNameForm: RecordNow("name " + ToUtf8(engine_.NameForm->Edit1)); break;
    case FormId::TConfigForm: {
      const TConfigForm& c = *engine_.ConfigForm;
      auto on = [&](TConfigForm::Radio r) { return c.Checked[r]; };
      const int speed = on(TConfigForm::MsgFastRB) ? 1 : on(TConfigForm::MsgSlowRB) ? 3 : 2;
      RecordNow("config effects=" + std::string(on(TConfigForm::GrpEfOnRB) ? "on" : "off") +
                " mode=" + (on(TConfigForm::ModeFullRB) ? "full" : "window") + " speed=" + std::to_string(speed) +
                " auto=" + std::to_string(c.Position[TConfigForm::MsgAutoBar]) +
                " bgm=" + std::to_string(c.Position[TConfigForm::BgmVolBar]) +
                " se=" + std::to_string(c.Position[TConfigForm::SeVolBar]) +
                " voice=" + std::to_string(c.Position[TConfigForm::VoiceVolBar]));
      RecordNow(answer);
      break;
    }
    case FormId::TCommentForm:
      // Typed as it stands, then answered; a cancel leaves the comment as it was whatever was typed.
      if (modalResult == mrOk) RecordNow("comment " + ToUtf8(engine_.GetCommentForm().Edit1));
      RecordNow(answer);
      break;
    default:
      // The save/load screen closes on a click, which is recorded as it comes.
      break;
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
        engine_.SaveLoadMouseDown(button, e.point);
      } else {
        engine_.FormMouseDown(button, e.point);
      }
      break;
    }
    case Verb::Move: platform_.InjectCursor(WindowId::Main, e.point); break;
    case Verb::FloatClick:
      platform_.InjectCursor(WindowId::Float, e.point);
      engine_.FloatMouseDown(MouseButton::Left, e.point);
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
  bool written = true;
  switch (e.verb) {
    case Verb::Screenshot:
    case Verb::ScreenshotFloat:
      written = engine_.Pictures().SaveScreenshot(e.text, e.verb == Verb::ScreenshotFloat);
      break;
    case Verb::Debug: written = engine_.DebugForm->DebugDumpEvent(e); break;
    case Verb::Name:
    case Verb::Config: engine_.Dialogs().ApplyDialogEvent(e); break;
    default: written = engine_.Save().ApplySaveEvent(e); break;
  }
  // The error list said why; what the run was to leave behind is missing, so it ends saying so.
  if (!written) OutputFailed();
}

void Automation::OutputFailed() {
  if (exitStatus_ == 0) exitStatus_ = kOutputFailed;
  engine_.CloseConfirmed();
}

void Automation::CheckOutputs() {
  if (outputChecked_) return;
  std::string problem;
  if (recorder_.Active() && recorder_.Failed()) {
    problem = "--record-events " + options_.recordEvents + ": " + recorder_.Problem();
  } else if (const std::optional<std::string> sound = engine_.Audio().RecordingProblem()) {
    problem = "--record-audio " + options_.recordAudio + ": " + *sound;
  }
  if (problem.empty()) return;
  outputChecked_ = true;
  engine_.ReportError(FromUtf8(problem));
  OutputFailed();
}

void Automation::WriteDialogTexts(const std::string& file) {
  std::u16string texts;
  if (const std::optional<FormId> front = engine_.FrontForm(); front && !platform_.FrontDialogTexts(texts)) {
    for (const std::u16string& line : engine_.FormTexts(*front)) texts += line + u"\n";
  }
  std::string problem;
  if (WriteOutputFile(file, ToUtf8(texts), problem)) return;
  engine_.ReportError(u"dialog-text: cannot write " + FromUtf8(file) + u": " + FromUtf8(problem));
  OutputFailed();
}

void Automation::TraceTaskCode(uint32_t elapsedMs, int32_t taskCode, int32_t scriptNo, int32_t stepNo) {
  if (traced_ && tracedTaskCode_ == taskCode) return;
  traced_ = true;
  tracedTaskCode_ = taskCode;
  if (options_.traceFile.empty() || traceFailed_) return;
  std::string problem;
  if (!traceFile_.IsOpen() && !traceFile_.Open(options_.traceFile, OutputFile::Mode::Append, problem)) {
    TraceFailed(problem);
    return;
  }
  uint32_t tc = taskCode < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(taskCode)) : static_cast<uint32_t>(taskCode);
  char line[96];
  const int n = std::snprintf(line, sizeof line, "%u TC=%s%x NO=%d ST=%d\n", elapsedMs, taskCode < 0 ? "-" : "", tc,
                              scriptNo, stepNo);
  if (!traceFile_.Write(line, static_cast<size_t>(n))) TraceFailed(traceFile_.Problem());
}

void Automation::TraceFailed(const std::string& problem) {
  traceFailed_ = true;
  engine_.ReportError(FromUtf8("--trace " + options_.traceFile + ": " + problem));
  OutputFailed();
}

}  // namespace mokuren
