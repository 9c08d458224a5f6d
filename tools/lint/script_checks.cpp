// Checks of the compiled code: the targets of jumps, calls and blocks as the engine's searches find them,
// labels and scripts that nothing leads to, variable numbers, and the album's scene flags.
#include <map>
#include <queue>
#include <set>
#include <utility>
#include <vector>

#include "app/engine_state.h"
#include "base/text_codec.h"
#include "lint/game_checks.h"
#include "menus/album_tables.h"
#include "script/code_search.h"
#include "script/opcodes.h"
#include "script/script_registers.h"
#include "toolkit/suggestion.h"

namespace mokuren::lint {

namespace {

constexpr int32_t kLastJumpStep = 32767;  // jump targets are taken as signed 16-bit steps
constexpr int kLastMarkedScript = 14;     // the last script whose messages get read marks

std::string Quoted(const std::u16string& s) { return "\"" + ToUtf8(s) + "\""; }

std::string VariableName(int mode, int number) { return ToUtf8(BankLetter(mode)) + std::to_string(number); }

bool IsCondition(uint16_t code) { return code >= op::IfEq && code <= op::IfGe; }
bool IsAssignment(uint16_t code) { return code >= op::Let && code <= op::Rand; }

class ScriptChecker : ScriptCheck {
 public:
  ScriptChecker(const GameData& game, Findings& findings) : ScriptCheck(game, findings) {}

  void Run() {
    game_.ForEachInstruction([this](int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
      CheckVariables(n, i, ins);
      if (ins.Code == op::Jump || ins.Code == op::Call) CheckJump(n, s, i, ins);
      if (IsCondition(ins.Code) || ins.Code == op::Else) CheckBlock(n, s, i, ins);
      if (IsAssignment(ins.Code) && OperandMode(ins.Modes, 0) == kModeSystem)
        systemSetters_.emplace(ins.P1, std::pair{n, i});
    });
    game_.ForEachInstruction([this](int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
      if (ins.Code == op::Label) CheckLabel(n, s, i, ins);
    });
    CheckReach();
    CheckScenes();
  }

 private:
  void CheckVariables(int n, int32_t i, const ScriptInstruction& ins) {
    const int32_t fields[5] = {ins.P1, ins.P2, ins.P3, ins.P4, ins.Value};
    for (int k = 0; k < 5; ++k) {
      const int mode = OperandMode(ins.Modes, k);
      if (mode != kModeValue && !VarBank::Valid(fields[k]))
        Add(Severity::Error, "variable-range", n, i,
            "variable " + VariableName(mode, fields[k]) + " is outside 1-512: it reads 0 and keeps nothing");
    }
  }

  void CheckJump(int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
    const char* what = ins.Code == op::Call ? "call" : "jump";
    const bool dynamicName = OperandMode(ins.Modes, 0) != kModeValue;
    const bool dynamicScript = OperandMode(ins.Modes, 4) != kModeValue;
    const int target = dynamicScript || ins.Value == 0 ? n : ins.Value;
    const GameScript* t = game_.Script(target);
    if (dynamicScript) {
      anyScript_ = true;
    } else {
      edges_[n].insert(target);
      if (!t) {
        Add(Severity::Error, "jump-target", n, i,
            std::string(what) + " to script " + std::to_string(target) + ", which SCRIPT.DAT does not hold");
        return;
      }
    }
    if (dynamicName) {
      // The name is read from a variable: any label of the target may be meant.
      if (dynamicScript)
        anyLabel_ = true;
      else
        allLabels_.insert(target);
      return;
    }
    if (std::string problem; !TableHasLine(s.jumps, "jump-name", ins.P1, problem)) {
      Add(Severity::Error, "jump-target", n, i, std::string(what) + " names " + problem);
      return;
    }
    if (dynamicScript) return;
    const std::u16string& name = s.jumps[static_cast<size_t>(ins.P1)];
    const CodeSearch found = FindLabelInstruction(t->image.code, LabelIndex(t->labels, name));
    const std::string in = target == n ? "this script" : "script " + std::to_string(target);
    if (found.step < 0) {
      std::vector<std::string> labels;
      for (const std::u16string& label : t->labels) labels.push_back(ToUtf8(label));
      Add(Severity::Error, "jump-target", n, i,
          std::string(what) + " to label " + Quoted(name) + ", which " + in +
              " does not have; the script would start again from its first instruction" +
              toolkit::DidYouMean(ToUtf8(name), labels));
    } else if (found.step > kLastJumpStep) {
      Add(Severity::Error, "jump-target", n, i,
          std::string(what) + " to label " + Quoted(name) + " at step " + std::to_string(found.step) +
              ", beyond step 32767 where jumps reach");
    } else {
      reached_.insert({target, found.step});
    }
  }

  void CheckBlock(int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
    if (OperandMode(ins.Modes, 0) != kModeValue) return;  // the block number comes from a variable
    const CodeSearch found = FindBlockMarker(s.image.code, i + 1, ins.P1);
    const std::string block = "block " + std::to_string(ins.P1);
    const bool isElse = ins.Code == op::Else;
    if (found.step < 0) {
      Add(Severity::Error, "block-end", n, i,
          (isElse ? "else of " + block + " finds no endif" : "if of " + block + " finds no else or endif") +
              " before the end of the script; the script would start again from its first instruction");
    } else if (found.step > kLastJumpStep) {
      Add(Severity::Error, "block-end", n, i,
          "the end of " + block + " lies at step " + std::to_string(found.step) + ", beyond step 32767");
    }
  }

  void CheckLabel(int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
    if (std::string problem; !TableHasLine(s.labels, "label", ins.P1, problem)) {
      Add(Severity::Warning, "label-unused", n, i, "the label names " + problem + "; no jump can reach it");
      return;
    }
    if (anyLabel_ || allLabels_.count(n) || reached_.count({n, i})) return;
    const std::u16string& name = s.labels[static_cast<size_t>(ins.P1)];
    const CodeSearch first = FindLabelInstruction(s.image.code, LabelIndex(s.labels, name));
    if (first.step != i)
      Add(Severity::Warning, "label-unused", n, i,
          "label " + Quoted(name) + " is defined again here; jumps to it go to step " + std::to_string(first.step));
    else
      Add(Severity::Warning, "label-unused", n, i, "no jump or call leads to label " + Quoted(name));
  }

  // The scripts a jump or call chain leads to from the given ones.
  std::set<int> Reached(std::vector<int> from) {
    std::set<int> seen;
    std::queue<int> next;
    auto enter = [&](int n) {
      if (game_.Script(n) && seen.insert(n).second) next.push(n);
    };
    for (int n : from) enter(n);
    for (; !next.empty(); next.pop())
      for (int t : edges_[next.front()]) enter(t);
    return seen;
  }

  void CheckReach() {
    if (!game_.Script(1)) {
      findings_.AtFile(Severity::Error, "script-unreachable", game_.scriptFile,
                       "there is no script 1, where the game starts");
    }
    const std::set<int> story = Reached({1});
    CheckReadMarks(story);
    if (anyScript_) return;  // a jump to a script from a variable may lead anywhere
    std::vector<int> starts = {1};
    starts.insert(starts.end(), album::kStandardSceneList.begin(), album::kStandardSceneList.end());
    const std::set<int> seen = Reached(starts);
    for (const auto& [n, s] : game_.scripts)
      if (!seen.count(n))
        Add(Severity::Warning, "script-unreachable", n, 0,
            "script " + std::to_string(n) + " is never reached from script 1 or the album's scene list");
  }

  // Read marks are kept for scripts 0-14 only: the messages of a later script never count as read, so
  // read-skip stops at each of them every time the story passes. One finding per script, at its first
  // message.
  void CheckReadMarks(const std::set<int>& story) {
    for (int n : story) {
      if (n <= kLastMarkedScript) continue;
      const GameScript& s = *game_.Script(n);
      int32_t first = -1, count = 0;
      for (int32_t i = 0; i < s.end; ++i)
        if (s.image.code[static_cast<size_t>(i)].Code == op::Message && count++ == 0) first = i;
      if (count == 0) continue;
      Add(Severity::Warning, "read-skip", n, first,
          "script " + std::to_string(n) +
              " is part of the story from script 1, but read marks are kept for scripts "
              "1-" +
              std::to_string(kLastMarkedScript) + " only: read-skip stops at each of its " + std::to_string(count) +
              " messages on every play; give the story scripts 2-" + std::to_string(kLastMarkedScript));
    }
  }

  void CheckScenes() {
    std::set<int> scenes;
    for (int16_t scene : album::kStandardSceneList)
      if (scene != album::kNone) scenes.insert(scene);
    for (int scene : scenes)
      if (game_.Script(scene) && !systemSetters_.count(album::SceneUnlockVar(scene)))
        Add(Severity::Warning, "scene-flag", scene, 0,
            "script " + std::to_string(scene) + " is an album scene, but no script sets " +
                VariableName(kModeSystem, album::SceneUnlockVar(scene)) + ", so the album never offers it");
    for (const auto& [var, where] : systemSetters_) {
      const int scene = var - album::SceneUnlockVar(0);
      if (var < album::SceneUnlockVar(101) || var > album::SceneUnlockVar(200)) continue;
      if (!scenes.count(scene))
        Add(Severity::Warning, "scene-flag", where.first, where.second,
            VariableName(kModeSystem, var) + " unlocks album scene " + std::to_string(scene) +
                ", which the album's scene list does not hold");
      else if (!game_.Script(scene))
        Add(Severity::Warning, "scene-flag", where.first, where.second,
            VariableName(kModeSystem, var) + " unlocks album scene " + std::to_string(scene) +
                ", but SCRIPT.DAT has no script " + std::to_string(scene) + " to replay");
    }
  }

  std::map<int, std::set<int>> edges_;                         // scripts each script jumps or calls to
  std::set<std::pair<int, int32_t>> reached_;                  // label instructions some jump or call leads to
  std::set<int> allLabels_;                                    // scripts any of whose labels a jump may lead to
  bool anyLabel_ = false, anyScript_ = false;                  // a jump from a variable may lead anywhere
  std::multimap<int, std::pair<int, int32_t>> systemSetters_;  // S variable -> (script, step) writing it
};

}  // namespace

void CheckScripts(const GameData& game, Findings& findings) { ScriptChecker(game, findings).Run(); }

}  // namespace mokuren::lint
