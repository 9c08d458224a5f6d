// SaveData: the persistent block and everything that keeps it. The block is SAVE.DAT's byte image; every
// subsystem binds the fields it keeps across runs as references into it, so saving copies nothing. SaveData
// writes and reads SAVE.DAT (in SaveDir), keeps the 100 slots and their thumbnails, runs the restore task
// that brings a loaded game back, and owns the save/load screen (TForm7) and its comment dialog, for
// which it is the host. It reaches the rest of the engine through SaveHost.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "base/save_block.h"
#include "dialogs/comment_form_host.h"
#include "save/save_screen_host.h"

namespace mokuren {

class ErrorList;
class Platform;
class SaveHost;
class TCommentForm;
class TForm7;
struct Event;

class SaveData final : public SaveScreenHost, public CommentFormHost {
 public:
  // Nothing is asked of the host or reported while SaveData is made, so the engine may hand it members
  // it has not made yet. `gameDir` is read when the save folder is chosen.
  SaveData(SaveHost& host, Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir);
  ~SaveData();
  SaveData(const SaveData&) = delete;
  SaveData& operator=(const SaveData&) = delete;

  // The block, zero-filled until SAVE.DAT is read. It stays at one place for the engine's life: the
  // subsystems hold references into it.
  const std::unique_ptr<SaveBlock> Block = std::make_unique<SaveBlock>();

  // ---- SAVE.DAT -------------------------------------------------------------------------------------
  bool Kumo_CheckSaveFile();
  // Writes the block to SAVE.DAT. The old file is replaced only once the new one is complete on the disk,
  // so it survives a crash or a failed write. False (reported, and told to the player) when nothing was
  // written; the old SAVE.DAT then stays as it was.
  bool Kumo_CreateSaveFile();
  // The save at quit: SAVE.DAT written, and when it fails and `mayAsk`, the player asked whether to try
  // again until it is written or they give up. False when the game ends without it.
  bool SaveAtQuit(bool mayAsk);
  // Reads SAVE.DAT into the block. A damaged file (of the wrong size) is moved aside under a name that
  // says so; one that cannot be read (denied, a folder, an I/O error) is left where it is and never written
  // over this session. Either way the player is told why, and the game starts with the first-start
  // settings. False in those cases.
  bool Kumo_ReadSaveFile();
  // Replaces SAVE.DAT with a file the player brings (the page's import): refused, with the reason, when it
  // is not the size of a SAVE.DAT, the old one staying as it was. Otherwise the old file is kept aside
  // ("SAVE.DAT.replaced-<time>") with the thumbnails of the slots the import changes
  // ("THUMB.replaced-<time>/"), the new file is written atomically and synced, and the block takes its
  // bytes. Empty on success, else what went wrong.
  std::u16string ImportSaveFile(std::span<const uint8_t> bytes);
  // The first-start settings (no SAVE.DAT yet); every other byte of the block is left as it is.
  void SetSaveDefaults();
  std::filesystem::path SaveFilePath();
  // Where SAVE.DAT and THUMB/ are kept: the game directory, or, when that cannot be written, the game's
  // own folder in the user's data directory (ChooseSaveDir, at start-up, before SAVE.DAT is first read).
  std::filesystem::path SaveDir;
  void ChooseSaveDir();
  // Creates the THUMB folder beside SAVE.DAT (an existing one is kept, a failure ignored).
  void CreateThumbFolder();
  // Set when SAVE.DAT could not be read, or a damaged one could not be moved aside: the session then
  // never writes SAVE.DAT, so the file is not replaced behind the player's back.
  bool SaveWriteBlocked = false;
  // Runs after the new SAVE.DAT is complete and just before it replaces the old one (tests).
  std::function<void()> SaveBeforeRenameHook;

  // ---- Slots ----------------------------------------------------------------------------------------
  // Save to slot n (1..100): the live record goes into the slot, SAVE.DAT is written and the slot's
  // thumbnail is taken from the frame. False when n is out of range or SAVE.DAT could not be written.
  bool SaveToSlot(int n);
  // Load from slot n (1..100): when the slot holds a game, it replaces the live record and the restore
  // task runs on the next pass. False (nothing changed) for an empty slot or n out of range.
  bool LoadFromSlot(int n);
  // The quick-save and quick-load buttons: slot 100 with their notices; quick load clears the log.
  void QuickSave();
  void QuickLoad();
  // "THUMB/SAVE<n>.dat" in SaveDir.
  std::filesystem::path ThumbnailPath(int n);
  // Writes slot n's thumbnail: the frame scaled to 128 x 96. False (reported) when it cannot be written.
  bool WriteThumbnail(int n);
  // The restore task: rebuilds screen, sound and script from the live record after a load.
  void Kumo_RestoreGame();

  // The events-file verbs quicksave, quickload, save N, load N, comment and screenshot-saveload. False
  // when the screenshot could not be written (the error list says why).
  bool ApplySaveEvent(const Event& event);

  // ---- The save/load screen -------------------------------------------------------------------------
  void menuSaveClick();
  void menuLoadClick();
  // Shows the save/load screen modally: mode 0 saves, 1 loads.
  void ShowSaveLoadScreen(int mode);
  // The screen and its comment dialog; the backends' views reach them through WindowHost.
  const std::unique_ptr<TForm7> SaveLoadForm;
  const std::unique_ptr<TCommentForm> CommentForm;
  // The events-file verbs of the screen: "comment TEXT" and "screenshot-saveload FILE".
  void CommentEvent(const Event& event);
  bool SaveLoadScreenshotEvent(const Event& event);

  // What the screen may use (SaveScreenHost).
  const SaveBlock& SavedGames() const override { return *Block; }
  bool SaveGame(int n) override { return SaveToSlot(n); }
  bool LoadGame(int n) override { return LoadFromSlot(n); }
  void LoadScreenPicture(int32_t placement, int32_t entry) override;
  bool ReadThumbnail(int n, TABitmap& image, std::string& error) override;
  void DrawScreenText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) override;
  std::u16string ScreenLabel(const std::u16string& original) override;
  Point ScreenCursorPos() override;
  void EditComment(int n, std::function<void()> then) override;
  void ReportScreenError(std::u16string_view text, std::initializer_list<TextField> fields) override;
  void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) override;

  // What the comment dialog may use (CommentFormHost).
  std::span<uint16_t> SlotComment(int n) override;

 private:
  // Kumo_CreateSaveFile, with the notice of a failed write shown for `failedNoticeTicks`.
  bool WriteSaveFile(int32_t failedNoticeTicks);

  SaveHost& host_;
  Platform& platform_;
  ErrorList& errors_;
  const std::filesystem::path& gameDir_;
};

}  // namespace mokuren
