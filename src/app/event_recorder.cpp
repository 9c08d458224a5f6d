#include "app/event_recorder.h"

namespace mokuren {

namespace {

// The waits a recording writes, the windows in front before what lies behind them.
Event Wait(WaitFor what, FormId form = FormId::TQueryForm) {
  Event e;
  e.verb = Verb::Wait;
  e.waitFor = what;
  e.form = form;
  return e;
}
const Event kKinds[] = {Wait(WaitFor::Dialog, FormId::TQueryForm),
                        Wait(WaitFor::Dialog, FormId::TCommentForm),
                        Wait(WaitFor::Dialog, FormId::TConfigForm),
                        Wait(WaitFor::Name),
                        Wait(WaitFor::Dialog, FormId::TForm7),
                        Wait(WaitFor::Title),
                        Wait(WaitFor::Message),
                        Wait(WaitFor::Choice)};
static_assert(std::size(kKinds) == 8);

}  // namespace

bool EventRecorder::Open(const std::string& path, const std::string& gameDir, std::string& error) {
  std::string problem;
  if (!file_.Open(path, OutputFile::Mode::Replace, problem)) {
    error = "cannot write the events recording " + path + ": " + problem;
    return false;
  }
  WriteLine("# played by hand on " + (gameDir.empty() ? std::string("the game beside the program") : gameDir) +
            ", recorded by mokuren --record-events");
  return true;
}

void EventRecorder::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  file_.Write(text.data(), text.size());
}

void EventRecorder::Look(int64_t pass, uint32_t ms, const GameMoment& moment) {
  if (!Active()) return;
  for (size_t k = 0; k < std::size(kKinds); ++k) {
    const bool before = holdsNow_[k] && lookedPass_ == pass - 1 && lookedPass_ > lastPass_;
    holdsNow_[k] = WaitHolds(kKinds[k], moment);
    // The first pass after the last line whose start, and the start of the pass before, found it holding:
    // where a replay's wait holds.
    if (holdsNow_[k] && before && (!since_[k] || since_[k]->first <= lastPass_)) since_[k] = std::make_pair(pass, ms);
  }
  lookedPass_ = pass;
}

void EventRecorder::Write(int64_t pass, uint32_t ms, const std::string& line) {
  if (!Active()) return;
  Flush();
  Put(pass, ms, line);
}

void EventRecorder::RightClick(int64_t pass, uint32_t ms, const std::string& line) {
  if (!Active()) return;
  Flush();
  rightClick_ = Pending{pass, ms, line};
}

void EventRecorder::MenuItemChosen(int64_t pass, uint32_t ms, const std::string& line) {
  if (!Active()) return;
  // The right click that opened the menu is the menu verb's own first step.
  if (rightClick_) {
    pass = rightClick_->pass;
    ms = rightClick_->ms;
    rightClick_.reset();
  }
  Put(pass, ms, line);
}

void EventRecorder::Flush() {
  if (!rightClick_) return;
  const Pending click = std::move(*rightClick_);
  rightClick_.reset();
  Put(click.pass, click.ms, click.line);
}

void EventRecorder::Put(int64_t pass, uint32_t ms, const std::string& line) {
  // A wait the game began after the last line (in a later pass) goes first, the one that holds now
  // before one that held meanwhile; the line counts from it.
  std::optional<size_t> chosen;
  for (size_t k = 0; k < std::size(kKinds); ++k) {
    if (!since_[k] || since_[k]->first <= lastPass_) continue;
    if (!chosen || (holdsNow_[k] && !holdsNow_[*chosen])) chosen = k;
  }
  if (chosen) {
    WriteLine(WaitText(kKinds[*chosen]));
    lastMs_ = since_[*chosen]->second;
  }
  WriteLine("+" + std::to_string(ms >= lastMs_ ? ms - lastMs_ : 0) + " " + line);
  lastPass_ = pass;
  lastMs_ = ms;
}

}  // namespace mokuren
