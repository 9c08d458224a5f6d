// The engine's side of the dialogs' hosts: what the settings dialog, the debug window and EngineDialogs
// ask, answered from TForm1.
#pragma once

#include "dialogs/config_form_host.h"
#include "dialogs/debug_form_host.h"
#include "dialogs/dialogs_host.h"

namespace mokuren {

class TForm1;

class DialogLinks final : public ConfigFormHost, public DebugFormHost, public DialogsHost {
 public:
  explicit DialogLinks(TForm1& form) : form_(form) {}

  // ConfigFormHost
  void ApplyVolumes() override;
  void FullModeWin() override;
  void ReturnFullModeWin() override;

  // DebugFormHost
  const VarBank& WorkVars() override;
  std::mt19937& Random() override;
  std::vector<std::u16string> MessageLogLines() override;
  std::u16string InterpreterStatus() override;

  // DialogsHost
  TNameForm& NameForm() override;
  TCommentForm& CommentForm() override;
  TConfigForm& ConfigForm() override;
  std::u16string SaveScreenCaption() override;
  int ShowModal(FormId form, int& modalResult) override;
  bool ModalOpen(FormId form) override;
  void ReportEvent(const Event& event, const std::u16string& what) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
