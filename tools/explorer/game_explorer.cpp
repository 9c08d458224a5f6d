#include "explorer/game_explorer.h"

#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <tuple>
#include <unordered_set>

#include "app/TForm1.h"
#include "app/event_script.h"
#include "backends/headless/headless_platform.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "script/opcodes.h"
#include "text/TNameForm.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;

namespace mokuren::explorer {

namespace {

// 60 s of the game's clock with nothing shown and nothing that waits for the player: a dead end.
constexpr int kStallPasses = 6000;
// An hour of the game's clock on one path.
constexpr int64_t kPathPasses = 360000;
// How long a fresh engine may take to bring up its title menu.
constexpr int kStartPasses = 60000;

// The game as the explorer plays it: every file of the game linked in, except what a run writes or what
// would make it depend on earlier play (saved games, thumbnails, the instance lock), and the file that
// turns debug mode on, whose Ctrl fast-forwards.
void LinkGame(const fs::path& game, const fs::path& link) {
  fs::remove_all(link);
  fs::create_directories(link);
  for (const auto& e : fs::directory_iterator(game)) {
    const std::u16string name = UpperCase(FromUtf8(e.path().filename().string()));
    if (name == u"THUMB" || name.rfind(u"SAVE.DAT", 0) == 0 || name == u"MOKUREN.LOCK" || name == u"DEBUGMODE.TXT")
      continue;
    fs::create_symlink(fs::absolute(e.path()), link / e.path().filename());
  }
  toolkit::WriteWholeFile(link / "debugmode.txt", "");
}

// Saves of the run before: the exploration starts as a first play.
void ForgetSaves(const fs::path& link) {
  for (const auto& e : fs::directory_iterator(link)) {
    const std::u16string name = UpperCase(FromUtf8(e.path().filename().string()));
    if (name == u"THUMB" || name.rfind(u"SAVE.DAT", 0) == 0) fs::remove_all(e.path());
  }
}

// Answers the modal windows as a player who wants to go on would: the name dialog with the name it
// offers, any other question with OK.
class ExplorerPlatform : public HeadlessPlatform {
 public:
  std::function<void(FormId)> answer;
  void OpenForm(FormId form) override {
    HeadlessPlatform::OpenForm(form);
    asked_ = form;
  }
  // The form took the keyboard, and with it the Ctrl the explorer holds; back in the game it holds it again.
  void CloseForm(FormId form) override {
    HeadlessPlatform::CloseForm(form);
    InjectKey(Key::Ctrl, true);
  }
  void ProcessMessages() override {
    if (asked_ && answer) {
      const FormId form = *asked_;
      asked_.reset();
      answer(form);
    }
  }

 private:
  std::optional<FormId> asked_;
};

uint64_t Mix(uint64_t hash, uint64_t value) { return (hash ^ value) * 1099511628211ull; }

// The state of the game as far as the story goes: where the script is, its variables and its calls. At a
// choice W1 is left out: the choice itself overwrites it before anything can read it.
uint64_t StoryState(TForm1& form, bool atChoice) {
  ScriptMachine& s = form.Script();
  uint64_t h = 14695981039346656037ull;
  h = Mix(h, static_cast<uint16_t>(s.ScriptNo));
  h = Mix(h, static_cast<uint32_t>(s.StepNo));
  for (const VarBank* bank : {&s.ScenarioVars, &s.SystemVars, &s.WorkVars})
    for (int n = 1; n <= 512; ++n)
      if (!(atChoice && bank == &s.WorkVars && n == 1)) h = Mix(h, static_cast<uint16_t>(bank->Get(n)));
  h = Mix(h, static_cast<uint16_t>(s.ReturnDepth));
  for (int i = 0; i < s.ReturnDepth && i < 16; ++i) {
    h = Mix(h, static_cast<uint16_t>(s.ReturnTable[i].Script));
    h = Mix(h, static_cast<uint16_t>(s.ReturnTable[i].Step));
  }
  return h;
}

std::string TaskName(int32_t task) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(task));
  return text;
}

std::string Where(int script, int32_t step) {
  return "script " + std::to_string(script) + " step " + std::to_string(step);
}

// The game at a choice, as a saved game keeps it, and what a saved game leaves to the running engine: the
// system variables (kept across games) and the work variables.
struct SavedState {
  SaveRecord live{};
  std::array<int16_t, 512> system{};
  std::array<int16_t, 512> work{};
  int script = 0;
  int32_t step = 0;
};

// A branch still to play: the choice's saved state, the choices that led there and the option to take.
struct Branch {
  std::shared_ptr<const SavedState> at;
  std::vector<Pick> picks;
  int option = 0;
};

class Explorer {
 public:
  Explorer(const ExploreOptions& options, ExploreResult& result) : options_(options), result_(result) {}

  void Run() {
    start_ = std::chrono::steady_clock::now();
    link_ = options_.work / "game";
    LinkGame(options_.game, link_);
    launch_.gameDir = link_.string();
    launch_.headless = true;
    launch_.lang = "ja";
    std::optional<Branch> next;  // nothing: the path from the start
    for (bool first = true; first || PopBranch(next); first = false) {
      if (result_.paths.size() >= options_.maxPaths || BoundReached()) {
        if (next) ++result_.queuedLeft;
        break;
      }
      if ((!form_ || form_->Terminated()) && !StartEngine(next.has_value())) break;
      result_.paths.push_back(PlaySegment(next ? &*next : nullptr));
      const ExploredPath& path = result_.paths.back();
      if (options_.progress)
        *options_.progress << "[path " << result_.paths.size() << "] " << PathEndName(path.end) << ": "
                           << DescribePath(path) << " — " << path.where << std::endl;
      if (path.end == PathEnd::Stopped) ++result_.queuedLeft;
      Status(false);
    }
    result_.queuedLeft += fresh_.size() + again_.size();
    result_.statesAtChoices = statesSeen_.size();
    result_.seconds = Seconds();
    Status(true);
    if (form_) form_->Script().WatchInstructions(nullptr);
  }

 private:
  double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
  bool BoundReached() const { return Seconds() >= options_.maxSeconds; }

  // The branch to play next: options never taken at their choice before those taken there in another state.
  bool PopBranch(std::optional<Branch>& next) {
    std::deque<Branch>& from = !fresh_.empty() ? fresh_ : again_;
    if (from.empty()) return false;
    next = std::move(from.front());
    from.pop_front();
    return true;
  }

  void Status(bool last) {
    if (!options_.status) return;
    const double now = Seconds();
    if (!last && now - lastStatus_ < 2) return;
    lastStatus_ = now;
    char line[200];
    std::snprintf(
        line, sizeof line, "explore: %zu paths, %zu branches left, %zu states at choices, %zu instructions run, %.0f s",
        result_.paths.size(), fresh_.size() + again_.size(), statesSeen_.size(), result_.ranSteps.size(), now);
    std::ostream& out = *options_.status;
    if (options_.statusOnTerminal)
      out << '\r' << line << "\x1b[K" << (last ? "\n" : "") << std::flush;
    else
      out << line << std::endl;
  }

  // A fresh engine: started as the program starts it and brought to its title menu when a branch is to be
  // loaded into it. False when the game cannot start (result_.startFailure says why).
  bool StartEngine(bool toTitle) {
    if (form_) form_->Script().WatchInstructions(nullptr);
    form_.reset();
    platform_ = std::make_unique<ExplorerPlatform>();
    ForgetSaves(link_);
    form_ = std::make_unique<TForm1>(*platform_, launch_);
    platform_->Attach(*form_);
    platform_->answer = [this](FormId id) { Answer(id); };
    std::string error;
    if (!form_->automation().LoadEvents(error) || !form_->FormCreate()) {
      result_.startFailure = error.empty() ? Joined() : error;
      return false;
    }
    form_->StartLoopClock();
    form_->Script().WatchInstructions(
        [this](int16_t script, int32_t step, const ScriptRegisters& r) { Watch(script, step, r); });
    platform_->InjectKey(Key::Ctrl, true);
    if (!toTitle) return true;
    for (int i = 0; i < kStartPasses && form_->TaskCode != task::TitleMenu && !form_->Terminated(); ++i)
      form_->IdleEvent();
    if (form_->TaskCode == task::TitleMenu) return true;
    result_.startFailure = "the title menu did not come: " + Joined();
    return false;
  }

  std::string Joined() {
    std::string text;
    for (const std::u16string& line : form_->Errors().Lines()) text += (text.empty() ? "" : "; ") + ToUtf8(line);
    return text.empty() ? "start-up failed" : text;
  }

  // Loads the branch's saved state as the quick load does: the record into the quick-save slot, then the
  // load; the variables a saved game leaves to the engine are put back beside it.
  void Load(const SavedState& state) {
    SaveBlock& block = *form_->Save().Block;
    std::memcpy(block.SystemVarsRaw, state.system.data(), sizeof block.SystemVarsRaw);
    form_->Script().WorkVarsRaw = state.work;
    block.Slot(kQuickSlot) = state.live;
    block.Slot(kQuickSlot).Used = 1;
    form_->Save().QuickLoad();
  }

  std::shared_ptr<const SavedState> Save() {
    auto state = std::make_shared<SavedState>();
    const SaveBlock& block = *form_->Save().Block;
    state->live = block.Live;
    std::memcpy(state->system.data(), block.SystemVarsRaw, sizeof block.SystemVarsRaw);
    state->work = form_->Script().WorkVarsRaw;
    state->script = form_->Script().ScriptNo;
    state->step = form_->Script().StepNo;
    return state;
  }

  ExploredPath PlaySegment(const Branch* branch) {
    path_ = ExploredPath();
    ended_ = false;
    choicePending_ = false;
    option_ = 0;
    quietPasses_ = 0;
    sinceChoice_.clear();
    pending_ = branch;
    // A branch starts inside the story: the next title it meets is the way back.
    titles_ = branch ? 1 : 0;
    if (branch) path_.picks = branch->picks;
    const uint32_t startMs = form_->ElapsedMs();
    const uint64_t errorsBefore = form_->Errors().Total();
    active_ = true;
    if (branch) Load(*branch->at);
    for (int64_t passes = 0; !ended_;) {
      if (form_->Terminated()) {
        End(PathEnd::Closed, "the game closed");
        break;
      }
      if (++passes > kPathPasses) {
        End(PathEnd::TooLong, "still playing after an hour of the game's clock");
        break;
      }
      if (BoundReached()) {
        End(PathEnd::Stopped, "the explorer's bound ran out");
        break;
      }
      form_->IdleEvent();
      if (!ended_) Act();
      // A long path still tells how far the exploration has come.
      if (passes % 4096 == 0) Status(false);
      // Nothing shown and nothing waiting for the player for a minute of the game's clock.
      if (form_->TaskCode != task::Wait && ++quietPasses_ > kStallPasses)
        End(PathEnd::DeadEnd, "nothing to click and nothing moving: TaskCode " + TaskName(form_->TaskCode) + " at " +
                                  Where(form_->Script().ScriptNo, form_->Script().StepNo));
    }
    active_ = false;
    path_.gameMs = form_->ElapsedMs() - startMs;
    // The error list's lines of this path, each told once for the whole exploration.
    const std::vector<std::u16string>& lines = form_->Errors().Lines();
    const uint64_t added = form_->Errors().Total() - errorsBefore;
    for (size_t i = added >= lines.size() ? 0 : lines.size() - added; i < lines.size(); ++i) {
      std::string text = ToUtf8(lines[i]);
      if (errorsSeen_.insert(text).second) result_.errors.push_back({std::move(text), result_.paths.size()});
    }
    return std::move(path_);
  }

  void End(PathEnd end, std::string where) {
    if (ended_) return;
    ended_ = true;
    path_.end = end;
    path_.where = std::move(where);
  }

  void Apply(const std::string& line) {
    EventScript events;
    std::string error;
    if (events.Parse("0 " + line + "\n", error)) form_->ApplyEvent(events.events().at(0));
  }

  void Answer(FormId id) {
    Apply(id == FormId::TNameForm ? "name " + ToUtf8(TNameForm::kDefaultName) : std::string("dialog ok"));
  }

  // Every instruction as it runs: what the exploration covers, and the moments the explorer must act on.
  void Watch(int16_t script, int32_t step, const ScriptRegisters& r) {
    result_.ranSteps.insert({script, step});
    if (!active_) return;
    switch (r.Code) {
      case op::Message: {
        quietPasses_ = 0;
        // The same message in the same state with no choice between: the story goes round for ever.
        const uint64_t state = Mix(StoryState(*form_, false), static_cast<uint32_t>(step));
        if (!sinceChoice_.insert(state).second)
          End(PathEnd::Loop, "comes back to the message at " + Where(script, step) +
                                 " with every variable the same and no choice between");
        break;
      }
      case op::Choice:
        quietPasses_ = 0;
        choicePending_ = true;
        break;
      case op::Wait: quietPasses_ = 0; break;
      case op::SystemFunction:
        if (r.P1 == op::sys::Title) {
          quietPasses_ = 0;
          if (++titles_ > 1) End(PathEnd::Title, "back at the title from " + Where(script, step));
        }
        if (r.P1 == op::sys::HeroName) quietPasses_ = 0;
        break;
      case op::End:
        // In normal play the end instruction starts the same script again from its top.
        if (form_->Script().NormalPlay != 0)
          End(PathEnd::DeadEnd, "script " + std::to_string(script) + " reaches its end at step " +
                                    std::to_string(step) +
                                    " with no return or jump, and starts again from its first instruction");
        break;
      default: break;
    }
  }

  void Click(Point p) { Apply("click " + std::to_string(p.x) + " " + std::to_string(p.y)); }

  // What the player does after this pass.
  void Act() {
    switch (form_->TaskCode) {
      case task::TitleMenu: {
        const std::vector<Point> stops = form_->PointerStops();
        if (!stops.empty()) Click(stops.front());  // "はじめから"
        break;
      }
      case task::WaitMovie: Click({400, 300}); break;
      case task::SelectWait: {
        const std::vector<Point> stops = form_->PointerStops();
        if (stops.empty()) break;
        if (choicePending_) Choose(static_cast<int>(stops.size()));
        if (!ended_ && option_ >= 1 && option_ <= static_cast<int>(stops.size()))
          Click(stops[static_cast<size_t>(option_ - 1)]);
        break;
      }
      default: break;
    }
  }

  // A choice is up with `count` options: the one this path takes.
  void Choose(int count) {
    choicePending_ = false;
    sinceChoice_.clear();
    const int script = form_->Script().ScriptNo;
    const int32_t step = form_->Script().StepNo;
    if (pending_ && pending_->at->script == script && pending_->at->step == step) {
      // The loaded branch's choice, come back: its option.
      option_ = pending_->option;
    } else {
      if (!statesSeen_.insert(StoryState(*form_, true)).second) {
        End(PathEnd::Merged, "a choice at " + Where(script, step) + " in a state already explored");
        return;
      }
      const std::shared_ptr<const SavedState> state = Save();
      for (int k = 2; k <= count; ++k) {
        const bool taken = taken_.count({script, step, k}) != 0;
        (taken ? again_ : fresh_).push_back(Branch{state, path_.picks, k});
      }
      option_ = 1;
    }
    pending_ = nullptr;
    taken_.insert({script, step, option_});
    const auto& texts = form_->Text().ChoiceTexts;
    const std::string text = option_ >= 1 && option_ <= static_cast<int>(texts.size())
                                 ? ToUtf8(texts[static_cast<size_t>(option_ - 1)])
                                 : std::string("option ") + std::to_string(option_);
    path_.picks.push_back({script, step, option_, text});
  }

  const ExploreOptions& options_;
  ExploreResult& result_;
  std::chrono::steady_clock::time_point start_;
  double lastStatus_ = 0;
  fs::path link_;
  LaunchOptions launch_;  // the engine keeps a reference to it
  std::unique_ptr<ExplorerPlatform> platform_;
  std::unique_ptr<TForm1> form_;
  std::deque<Branch> fresh_, again_;
  std::set<std::tuple<int, int32_t, int>> taken_;  // (script, step, option) of every option taken
  std::unordered_set<uint64_t> statesSeen_;
  std::set<std::string> errorsSeen_;

  // The path being played.
  ExploredPath path_;
  const Branch* pending_ = nullptr;  // the loaded branch, until its choice comes back
  bool active_ = false;
  bool ended_ = false;
  bool choicePending_ = false;
  int option_ = 0;
  int titles_ = 0;
  int quietPasses_ = 0;
  std::unordered_set<uint64_t> sinceChoice_;
};

}  // namespace

const char* PathEndName(PathEnd end) {
  switch (end) {
    case PathEnd::Title: return "end";
    case PathEnd::Closed: return "closed";
    case PathEnd::Merged: return "joins";
    case PathEnd::DeadEnd: return "DEAD END";
    case PathEnd::Loop: return "LOOP";
    case PathEnd::TooLong: return "too long";
    case PathEnd::Stopped: return "stopped";
  }
  return "";
}

bool ExploreResult::ScriptReached(int script) const {
  const auto it = ranSteps.lower_bound({script, INT32_MIN});
  return it != ranSteps.end() && it->first == script;
}

std::string DescribePath(const ExploredPath& path) {
  if (path.picks.empty()) return "(start)";
  std::string text;
  for (const Pick& pick : path.picks) text += (text.empty() ? "" : " → ") + pick.text;
  return text;
}

ExploreResult Explore(const ExploreOptions& options) {
  ExploreResult result;
  result.catalog = LoadScriptCatalog(options.game);
  Explorer(options, result).Run();
  return result;
}

}  // namespace mokuren::explorer
