// TDebugForm: the scenario writers' window, shown when "debugmode.txt" is present. Two status lines
// refreshed on every pass, a text field for the dumps of its buttons, and the error list that every
// reported problem is added to, whether or not the window is shown.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error_list.h"
#include "base/save_block.h"
#include "base/var_bank.h"
#include "dialogs/debug_form_host.h"
#include "platform/event.h"
#include "platform/platform.h"

namespace mokuren {

class TDebugForm {
 public:
  enum Button : uint8_t { Button1, Button2, Button3, Button4, Button5, Button6, ButtonCount };
  static_assert(ButtonCount == static_cast<int>(DebugButtonName::Status));
  struct ButtonInfo {
    std::u16string_view caption;
  };
  // In the order of the events file's debug buttons (DebugButtonName), which name them.
  static constexpr ButtonInfo kButtons[ButtonCount] = {{u"FLG表示"},   {u"MSG履歴"},   {u"Album ON"},
                                                       {u"Album OFF"}, {u"Album RND"}, {u"RT"}};

  // The banks, the return table and the seen flags it shows and sets are the save block's; the error list
  // is the engine's, which the window shows and the dump event adds to.
  TDebugForm(DebugFormHost& host, SaveBlock& block, ErrorList& errors, Platform& platform)
      : Memo2(errors),
        host_(host),
        errors_(errors),
        platform_(platform),
        live_(block.Live),
        ScenarioVars(block.Live.ScenarioVarsRaw),
        SystemVars(block.SystemVarsRaw),
        CgSeenFlags(block.CgSeenFlags) {}
  TDebugForm(const TDebugForm&) = delete;
  TDebugForm& operator=(const TDebugForm&) = delete;

  std::u16string Caption = u"Debug Window";
  std::u16string Label1;              // the interpreter's status line
  std::u16string Label2;              // the sound status line
  std::vector<std::u16string> Memo1;  // what the last button dumped
  const ErrorList& Memo2;             // the error list
  bool Visible = false;

  // The caption names the game and its version: "Debug Window : Mokuren Ver.0.88" for tag 88.
  void FormCreate(std::u16string_view mainCaption, int32_t tag);
  // The caption alone, once the game's title is known; the lists stay as they are.
  void SetMainCaption(std::u16string_view mainCaption, int32_t tag);
  // True when either line changed.
  bool SetStatus(std::u16string label1, std::u16string label2);
  void Click(Button button);
  void Button1Click();  // FLG表示: the three variable banks
  void Button2Click();  // MSG履歴: the message log
  void Button3Click();  // Album ON: every event picture seen and every album flag set
  void Button4Click();  // Album OFF: all of them cleared
  void Button5Click();  // Album RND: each set or cleared at random
  void Button6Click();  // RT: the return table

  // Refreshes the status lines when the window is visible (every pass of the main loop); the view is
  // told when they changed.
  void Kumo_Debug();
  // The events file's "debug BUTTON FILE": presses the button and writes what the window then shows
  // ("status": the two status lines as they are now) to FILE, UTF-8, a line each. False when FILE cannot
  // be written (the error list says why).
  bool DebugDumpEvent(const Event& e);

 private:
  void SetAlbum(const std::function<uint8_t()>& value);

  DebugFormHost& host_;
  ErrorList& errors_;
  Platform& platform_;
  const SaveRecord& live_;  // the sound status line's music and effects
  VarBank ScenarioVars;
  VarBank SystemVars;  // the album buttons set its album flags, 201-300
  uint8_t (&CgSeenFlags)[kCgSeenCount];
};

}  // namespace mokuren
