// The script machine: the loaded script and where it runs, the three variable banks, the call table, the
// read marks, the scene table of a replay, the script's waits and the instruction set. Whatever an
// instruction does beyond that state it asks of the engine through ScriptHost.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/save_block.h"
#include "base/var_bank.h"
#include "script/ScriptInstruction.h"
#include "script/script_host.h"
#include "script/script_image.h"
#include "script/script_registers.h"

namespace mokuren {

class ErrorList;

class ScriptMachine {
 public:
  // The persistent fields are bound to their places in `block` (SAVE.DAT's image): nothing is copied.
  ScriptMachine(ScriptHost& host, ErrorList& errors, SaveBlock& block);
  ScriptMachine(const ScriptMachine&) = delete;
  ScriptMachine& operator=(const ScriptMachine&) = delete;

  // ---- The loaded script ---------------------------------------------------------------------------
  std::vector<ScriptInstruction> ScriptCode = std::vector<ScriptInstruction>(kMaxInstructions);
  std::vector<std::u16string> LabelNames;
  std::vector<std::u16string> JumpNames;
  std::vector<std::u16string> MessageTexts;
  std::vector<std::u16string> ResourceNames;
  std::vector<std::u16string> ResourceNameArray = std::vector<std::u16string>(kResourceNameArraySize);

  // Loads script n. Returns why the entry could not be loaded at all (the empty script was loaded in its
  // place), or an empty fault.
  ScriptEntryFault Kumo_ReadScript(int n);
  // Creates the four script string lists (start-up, second stage).
  void CreateScriptLists();

  // ---- Where the script runs, and its variables (persistent ones in the live record) ---------------
  int16_t& ScriptNo;
  int32_t& StepNo;  // instruction being executed; -1 = before the first
  VarBank ScenarioVars;
  VarBank SystemVars;
  std::array<int16_t, 512> WorkVarsRaw{};
  VarBank WorkVars{WorkVarsRaw.data()};
  ReturnEntry (&ReturnTable)[16];
  int16_t& ReturnDepth;
  uint8_t (&ReadMarks)[kReadMarkBanks][kReadMarkBankBytes];
  // The scene table of a replay: entries 1..120 at index 0..119, and the one playing.
  std::array<int32_t, 120> SceneTableRaw{};
  int32_t SceneTableCursor = 0;
  // 1 in a game, 0 in a scene replay.
  uint8_t NormalPlay = 0;
  // The title instruction's step, where the script goes on when a replay ends.
  int32_t TitleReturnStep = 0;
  // The random numbers of the random-assignment instruction.
  std::mt19937 Random;

  // Step of the next else (126) or end (127) marker of block `key` after StepNo; -1 when the end
  // instruction (255) comes first.
  int32_t GetElseStep(int32_t key);
  // Step of the first label instruction (78) of `name`; -1 when there is none before the end instruction.
  int32_t GetLabelStep(const std::u16string& name);
  // Index of the first end instruction of the loaded code (or the code's length when there is none).
  int32_t LoadedCodeEnd() const;
  // Loads script 1 and stands just before its title command (before its first step when it has none
  // before its end instruction), so that the next step opens the title menu.
  void GoToTitleCommand();
  // Loads the replay list's first scene to run from its top.
  void LoadFirstReplayScene();
  void Kumo_ClearScenarioFlg();
  void Kumo_ClearReturnTbl();
  // Is message `message` of the loaded script marked as read?
  bool CheckKidoku(int32_t message);
  // Marks message `message` of the loaded script as read (scripts 0-14 only).
  void MarkKidoku(int32_t message);
  // Adds `script` to the replay list: its position 1-120, -1 when already listed (or 0), 0 when full.
  int32_t AddSceneTbl(int32_t script);
  // Position 1-120 of `script` in the replay list, -1 when absent.
  int32_t GetSceneTbl(int32_t script);

  // ---- The interpreter -----------------------------------------------------------------------------
  // The last fetched instruction, operands resolved (the debug window's status line shows it).
  ScriptRegisters CurrentInstruction;
  // Work (instructions run plus instructions searched) one pass may do before the interpreter gives
  // the pass back, so that a script that never yields cannot freeze the window.
  int64_t ScriptInstructionBudget = 1000000;
  // The script task: runs instructions until one yields.
  void Kumo_TaskScript();
  // Someone who wants to know every instruction as it runs (a tool that measures how much of a game
  // was played): called with the script, the step and the resolved operands, before the instruction
  // acts. None by default.
  using InstructionWatch = std::function<void(int16_t script, int32_t step, const ScriptRegisters& registers)>;
  void WatchInstructions(InstructionWatch watch) { watch_ = std::move(watch); }

  // ---- The script's waits --------------------------------------------------------------------------
  // A timed wait's end on the wrapping 32-bit clock, and whether a click or key may end it early.
  int32_t WaitDeadline = 0;
  uint8_t WaitClickable = 0;
  void Kumo_Wait();
  void Kumo_WaitKey();

 private:
  // Runs the current instruction; true when it yields.
  bool ExecuteInstruction();
  bool ScriptJump(bool call);
  bool ScriptReturn();
  void ScriptAssign();
  bool ScriptCondition();
  bool ScriptWait();
  bool ScriptSystemFunction();
  void ScriptMessage();
  void ScriptChoice();
  void ScriptEnd();
  void ScriptLayer(int layer);
  void ScriptBackground();
  // Line `line` of MessageTexts, or an empty text (reported) when there is no such line.
  std::u16string MessageLine(int32_t line);
  // Line `line` of ResourceNames, or an empty name (reported) when there is no such line.
  std::u16string ResourceLine(int32_t line);
  // StepNo := a search result taken as signed 16-bit; targets beyond 32767 restart the script (reported).
  void SetJumpStep(int32_t target);
  // The bank that operand mode 1 (F), 2 (S) or 3 (W) names; null for mode 0.
  VarBank* BankOfMode(int mode);
  // An operand's value: the field itself (mode 0) or the variable it numbers.
  int16_t ResolveOperand(int mode, int16_t field);
  int32_t ResolveValue(int mode, int32_t field);
  // Reports a fault of the running script in the error list, each distinct fault of a place once.
  void ReportScriptFault(const std::u16string& what);
  // The GRAPHIC.DAT entry of the picture named on resource line `line`; 0, told, for a name the archive
  // does not list.
  int32_t NamedPicture(int32_t line);

  ScriptHost& host_;
  ErrorList& errors_;
  InstructionWatch watch_;
  std::unordered_set<std::u16string> ReportedScriptFaults;
  bool RunawayReported = false;
  // Instructions the searches of this pass looked at: they count against the budget like instructions,
  // so that a failed search repeated without end cannot hold one pass for minutes.
  int64_t SearchWork = 0;
  // Where the interpreter left off: a StepNo set from outside (a restore, a menu) is checked on entry.
  int32_t LeftScriptNo = -1, LeftStepNo = -2;
};

}  // namespace mokuren
