// The engine's side of the save/load screen and its comment dialog: opening them from the menu, the
// buttons and the title, and the events-file verbs that reach them.
#include <iostream>

#include "app/TForm1.h"
#include "dialogs/TCommentForm.h"
#include "graphics/png_writer.h"
#include "save/TForm7.h"
#include "base/text_codec.h"

namespace mokuren {

void TForm1::menuSaveClick() { ShowSaveLoadScreen(TForm7::kSaveMode); }
void TForm1::menuLoadClick() { ShowSaveLoadScreen(TForm7::kLoadMode); }

void TForm1::ShowSaveLoadScreen(int mode) {
  if (SaveLoadForm->Visible) return;  // already up
  SaveLoadForm->Tag = mode;
  SaveLoadForm->FormShow();
  // The game keeps running underneath; loading leaves the restore task for the main loop.
  ShowModal(FormId::TForm7, SaveLoadForm->ModalResult);
  SaveLoadForm->Close();  // also when the program ended while the screen was up
}

void TForm1::EditComment(int n) {
  CommentForm->Tag = n;
  ShowModal(FormId::TCommentForm, CommentForm->ModalResult);
}

void TForm1::CommentEvent(const Event& e) {
  if (!ModalOpen(FormId::TCommentForm)) {
    std::cerr << "mokuren: events line " << e.line << ": comment: the comment dialog is not up\n";
    return;
  }
  CommentForm->Edit1 = FromUtf8(e.text);
}

void TForm1::SaveLoadScreenshotEvent(const Event& e) {
  if (!SaveLoadForm->Visible) {
    std::cerr << "screenshot-saveload: the save/load screen is not up\n";
    return;
  }
  std::string error;
  if (!WritePngFile(AutomationFile(e.text), SaveLoadForm->Image1, PngAlpha::None, error))
    ReportError(FromUtf8("screenshot-saveload " + e.text + ": " + error));
}

}  // namespace mokuren
