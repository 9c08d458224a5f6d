// The engine's side of the save/load screen and its comment dialog: opening them from the menu, the
// buttons and the title, and the events-file verbs that reach them.
#include <iostream>

#include "base/error_list.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "graphics/png_writer.h"
#include "platform/event.h"
#include "save/TForm7.h"
#include "save/save_data.h"
#include "save/save_host.h"

namespace mokuren {

void SaveData::menuSaveClick() { ShowSaveLoadScreen(TForm7::kSaveMode); }
void SaveData::menuLoadClick() { ShowSaveLoadScreen(TForm7::kLoadMode); }

void SaveData::ShowSaveLoadScreen(int mode) {
  if (SaveLoadForm->Visible) return;  // already up
  SaveLoadForm->Tag = mode;
  SaveLoadForm->FormShow();
  // The game keeps running underneath; loading leaves the restore task for the main loop.
  // Closed also when the program ended while the screen was up.
  host_.ShowModal(FormId::TForm7, SaveLoadForm->ModalResult, [this] { SaveLoadForm->Close(); });
}

void SaveData::EditComment(int n, std::function<void()> then) {
  CommentForm->Tag = n;
  host_.ShowModal(FormId::TCommentForm, CommentForm->ModalResult, std::move(then));
}

void SaveData::CommentEvent(const Event& e) {
  if (!host_.ModalOpen(FormId::TCommentForm)) {
    std::cerr << "mokuren: events line " << e.line << ": comment: the comment dialog is not up\n";
    return;
  }
  CommentForm->Edit1 = TCommentForm::FitBox(FromUtf8(e.text));
}

bool SaveData::SaveLoadScreenshotEvent(const Event& e) {
  if (!SaveLoadForm->Visible) {
    std::cerr << "screenshot-saveload: the save/load screen is not up\n";
    return true;
  }
  std::string error;
  if (WritePngFile(host_.AutomationFile(e.text), SaveLoadForm->Image1, PngAlpha::None, error)) return true;
  errors_.Add(FromUtf8("screenshot-saveload " + e.text + ": " + error));
  return false;
}

void SaveData::LoadScreenPicture(int32_t placement, int32_t entry) { host_.LoadScreenPicture(placement, entry); }

void SaveData::DrawScreenText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) {
  host_.DrawCanvasText(target, x, y, text, height);
}

std::u16string SaveData::ScreenLabel(const std::u16string& original) { return host_.EngineText(original); }

Point SaveData::ScreenCursorPos() { return platform_.CursorPos(WindowId::SaveLoad); }
void SaveData::SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {
  host_.SpeakFocus(text, fields);
}

void SaveData::ReportScreenError(std::u16string_view text, std::initializer_list<TextField> fields) {
  errors_.Add(text, fields);
}

std::span<uint16_t> SaveData::SlotComment(int n) {
  if (n < 1 || n > kSaveSlots) return {};
  return Block->Slot(n).Comment;
}

}  // namespace mokuren
