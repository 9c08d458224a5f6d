#include "app/event_recorder.h"

namespace mokuren {

namespace {

constexpr WaitFor kKinds[] = {WaitFor::Title, WaitFor::Message, WaitFor::Choice};

}  // namespace

bool EventRecorder::Open(const std::string& path, const std::string& gameDir, std::string& error) {
  file_.reset(std::fopen(path.c_str(), "w"));
  if (!file_) {
    error = "cannot write the events recording " + path;
    return false;
  }
  std::fprintf(file_.get(), "# played by hand on %s, recorded by mokuren --record-events\n",
               gameDir.empty() ? "the game beside the program" : gameDir.c_str());
  std::fflush(file_.get());
  return true;
}

void EventRecorder::Look(int64_t pass, uint32_t ms, const GameMoment& moment) {
  if (!file_) return;
  for (size_t k = 0; k < std::size(kKinds); ++k) {
    Event wait;
    wait.waitFor = kKinds[k];
    const bool before = holdsNow_[k] && lookedPass_ == pass - 1 && lookedPass_ > lastPass_;
    holdsNow_[k] = WaitHolds(wait, moment);
    // The first pass after the last line whose start, and the start of the pass before, found it holding:
    // where a replay's wait holds.
    if (holdsNow_[k] && before && (!since_[k] || since_[k]->first <= lastPass_)) since_[k] = std::make_pair(pass, ms);
  }
  lookedPass_ = pass;
}

void EventRecorder::Write(int64_t pass, uint32_t ms, const std::string& line) {
  if (!file_) return;
  Flush();
  Put(pass, ms, line);
}

void EventRecorder::RightClick(int64_t pass, uint32_t ms, const std::string& line) {
  if (!file_) return;
  Flush();
  rightClick_ = Pending{pass, ms, line};
}

void EventRecorder::MenuItemChosen(int64_t pass, uint32_t ms, const std::string& line) {
  if (!file_) return;
  // The right click that opened the menu is the menu verb's own first step.
  if (rightClick_) {
    pass = rightClick_->pass;
    ms = rightClick_->ms;
    rightClick_.reset();
  }
  Put(pass, ms, line);
}

void EventRecorder::Note(const std::string& text) {
  if (!file_) return;
  Flush();
  std::fprintf(file_.get(), "# %s\n", text.c_str());
  std::fflush(file_.get());
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
    std::fprintf(file_.get(), "wait %s\n", std::string(WaitForName(kKinds[*chosen])).c_str());
    lastMs_ = since_[*chosen]->second;
  }
  std::fprintf(file_.get(), "+%u %s\n", ms - lastMs_, line.c_str());
  std::fflush(file_.get());
  lastPass_ = pass;
  lastMs_ = ms;
}

}  // namespace mokuren
