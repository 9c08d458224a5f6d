#include "explorer/game_explorer.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
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

// Saves of the run before: every path starts as a first play.
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

// The state of the game as far as the story goes: where the script is, its variables and its calls.
uint64_t StoryState(TForm1& form) {
  ScriptMachine& s = form.Script();
  uint64_t h = 14695981039346656037ull;
  h = Mix(h, static_cast<uint16_t>(s.ScriptNo));
  h = Mix(h, static_cast<uint32_t>(s.StepNo));
  for (const VarBank* bank : {&s.ScenarioVars, &s.SystemVars, &s.WorkVars})
    for (int n = 1; n <= 512; ++n) h = Mix(h, static_cast<uint16_t>(bank->Get(n)));
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

struct Shared {
  ExploreResult& result;
  std::deque<std::vector<int>> queue;
  std::unordered_set<uint64_t> statesSeen;
  std::set<std::string> errorsSeen;
  std::function<bool()> boundReached;
};

// One path: the game from its start, through the choices `prefix` names, on until it ends.
class PathRun {
 public:
  PathRun(Shared& shared, const fs::path& link, std::vector<int> prefix)
      : shared_(shared), link_(link), prefix_(std::move(prefix)) {}

  ExploredPath Play() {
    ForgetSaves(link_);
    LaunchOptions launch;
    launch.gameDir = link_.string();
    launch.headless = true;
    launch.lang = "ja";
    ExplorerPlatform platform;
    TForm1 form(platform, launch);
    platform.Attach(form);
    platform.answer = [&](FormId id) { Answer(form, id); };
    std::string error;
    if (!form.automation().LoadEvents(error) || !form.FormCreate()) {
      shared_.result.startFailure = error.empty() ? Joined(form) : error;
      path_.end = PathEnd::DeadEnd;
      path_.where = "the game did not start";
      return path_;
    }
    form.StartLoopClock();
    form.Script().WatchInstructions(
        [&](int16_t script, int32_t step, const ScriptRegisters& r) { Watch(form, script, step, r); });
    platform.InjectKey(Key::Ctrl, true);
    int64_t passes = 0;
    while (!ended_) {
      if (form.Terminated()) End(PathEnd::Closed, "the game closed");
      if (ended_) break;
      if (++passes > kPathPasses) {
        End(PathEnd::TooLong, "still playing after an hour of the game's clock");
        break;
      }
      if (shared_.boundReached()) {
        End(PathEnd::Stopped, "the explorer's bound ran out");
        break;
      }
      form.IdleEvent();
      if (!ended_) Act(form);
      // Nothing shown and nothing waiting for the player for a minute of the game's clock.
      if (form.TaskCode != task::Wait && ++quietPasses_ > kStallPasses)
        End(PathEnd::DeadEnd, "nothing to click and nothing moving: TaskCode " + TaskName(form.TaskCode) + " at " +
                                  Where(form.Script().ScriptNo, form.Script().StepNo));
    }
    path_.gameMs = form.ElapsedMs();
    for (const std::u16string& line : form.Errors().Lines()) {
      std::string text = ToUtf8(line);
      if (shared_.errorsSeen.insert(text).second)
        shared_.result.errors.push_back({std::move(text), shared_.result.paths.size()});
    }
    form.Script().WatchInstructions(nullptr);
    return path_;
  }

 private:
  static std::string Joined(TForm1& form) {
    std::string text;
    for (const std::u16string& line : form.Errors().Lines()) text += (text.empty() ? "" : "; ") + ToUtf8(line);
    return text.empty() ? "start-up failed" : text;
  }
  static std::string Where(int script, int32_t step) {
    return "script " + std::to_string(script) + " step " + std::to_string(step);
  }

  void End(PathEnd end, std::string where) {
    if (ended_) return;
    ended_ = true;
    path_.end = end;
    path_.where = std::move(where);
  }

  void Answer(TForm1& form, FormId id) {
    EventScript events;
    std::string error;
    const std::string line =
        id == FormId::TNameForm ? "0 name " + ToUtf8(TNameForm::kDefaultName) + "\n" : std::string("0 dialog ok\n");
    if (events.Parse(line, error)) form.ApplyEvent(events.events().at(0));
  }

  // Every instruction as it runs: what the path covers, and the moments the explorer must act on.
  void Watch(TForm1& form, int16_t script, int32_t step, const ScriptRegisters& r) {
    shared_.result.ranSteps.insert({script, step});
    switch (r.Code) {
      case op::Message: {
        quietPasses_ = 0;
        // The same message in the same state with no choice between: the story goes round for ever.
        const uint64_t state = Mix(StoryState(form), static_cast<uint32_t>(step));
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
        if (form.Script().NormalPlay != 0)
          End(PathEnd::DeadEnd, "script " + std::to_string(script) + " reaches its end at step " +
                                    std::to_string(step) +
                                    " with no return or jump, and starts again from its first instruction");
        break;
      default: break;
    }
  }

  void Click(TForm1& form, Point p) {
    EventScript events;
    std::string error;
    if (events.Parse("0 click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n", error))
      form.ApplyEvent(events.events().at(0));
  }

  // What the player does after this pass.
  void Act(TForm1& form) {
    switch (form.TaskCode) {
      case task::TitleMenu: {
        const std::vector<Point> stops = form.PointerStops();
        if (!stops.empty()) Click(form, stops.front());  // "はじめから"
        break;
      }
      case task::WaitMovie: Click(form, {400, 300}); break;
      case task::SelectWait: {
        const std::vector<Point> stops = form.PointerStops();
        if (stops.empty()) break;
        if (choicePending_) Choose(form, static_cast<int>(stops.size()));
        if (!ended_ && option_ >= 1 && option_ <= static_cast<int>(stops.size()))
          Click(form, stops[static_cast<size_t>(option_ - 1)]);
        break;
      }
      default: break;
    }
  }

  // A choice is up with `count` options: the one this path takes.
  void Choose(TForm1& form, int count) {
    choicePending_ = false;
    sinceChoice_.clear();
    const size_t index = path_.picks.size();
    if (index < prefix_.size()) {
      option_ = prefix_[index];
    } else {
      if (!shared_.statesSeen.insert(StoryState(form)).second) {
        End(PathEnd::Merged,
            "a choice at " + Where(form.Script().ScriptNo, form.Script().StepNo) + " in a state already explored");
        return;
      }
      std::vector<int> branch(path_.picks.size());
      for (size_t i = 0; i < branch.size(); ++i) branch[i] = path_.picks[i].option;
      for (int k = 2; k <= count; ++k) {
        branch.push_back(k);
        shared_.queue.push_back(branch);
        branch.pop_back();
      }
      option_ = 1;
    }
    const auto& texts = form.Text().ChoiceTexts;
    const std::string text = option_ >= 1 && option_ <= static_cast<int>(texts.size())
                                 ? ToUtf8(texts[static_cast<size_t>(option_ - 1)])
                                 : std::string("option ") + std::to_string(option_);
    path_.picks.push_back({form.Script().ScriptNo, form.Script().StepNo, option_, text});
  }

  Shared& shared_;
  fs::path link_;
  std::vector<int> prefix_;
  ExploredPath path_;
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
  const auto start = std::chrono::steady_clock::now();
  ExploreResult result;
  result.catalog = LoadScriptCatalog(options.game);
  const fs::path link = options.work / "game";
  LinkGame(options.game, link);
  Shared shared{result, {}, {}, {}, {}};
  auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  shared.boundReached = [&] { return seconds() >= options.maxSeconds; };
  shared.queue.push_back({});
  while (!shared.queue.empty() && result.startFailure.empty()) {
    if (result.paths.size() >= options.maxPaths || shared.boundReached()) break;
    std::vector<int> prefix = std::move(shared.queue.front());
    shared.queue.pop_front();
    PathRun run(shared, link, std::move(prefix));
    result.paths.push_back(run.Play());
    const ExploredPath& path = result.paths.back();
    if (options.progress)
      *options.progress << "[path " << result.paths.size() << "] " << PathEndName(path.end) << ": "
                        << DescribePath(path) << " — " << path.where << std::endl;
  }
  result.queuedLeft = shared.queue.size();
  if (!result.paths.empty() && result.paths.back().end == PathEnd::Stopped) ++result.queuedLeft;
  result.statesAtChoices = shared.statesSeen.size();
  result.seconds = seconds();
  return result;
}

}  // namespace mokuren::explorer
