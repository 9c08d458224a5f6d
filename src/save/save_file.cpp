// SAVE.DAT: the byte image of SaveBlock, its first-start settings, and the THUMB folder beside it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/atomic_file.h"
#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "save/save_data.h"
#include "save/save_date.h"
#include "save/save_host.h"
#include "save/save_plausibility.h"
#include "text/engine_texts.h"

namespace mokuren {

namespace {

// How long the player is shown that the saved data had to be put aside, and that SAVE.DAT could not be
// written (timer ticks of 10 ms).
constexpr int32_t kDamagedNoticeTicks = 1000;
constexpr int32_t kWriteFailedNoticeTicks = 300;

// "SAVE.DAT.damaged-20261207-203015" (or "replaced"), with "-2", "-3", ... when that name is taken.
std::filesystem::path AsideName(const std::filesystem::path& file, const char* why = "damaged") {
  CivilTime t = CivilFromSaveDate(SaveDateNow());
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  std::filesystem::path base = file;
  base += std::string(".") + why + "-" + stamp;
  std::filesystem::path name = base;
  std::error_code ec;
  for (int k = 2; std::filesystem::exists(std::filesystem::symlink_status(name, ec)); ++k) {
    name = base;
    name += "-" + std::to_string(k);
  }
  return name;
}

std::u16string Reason(int err) { return FromUtf8(std::strerror(err)); }
std::u16string Text(size_t n) { return FromUtf8(std::to_string(n)); }
std::u16string Text(const std::filesystem::path& file) { return FromUtf8(file.filename().string()); }

// The only thing that tells a SAVE.DAT from any other file: its size.
std::u16string SaveSizeProblem(const ErrorList& errors, uint64_t size) {
  return errors.Shown(error_text::kSaveWrongSize, {{u"size", Text(size)}, {u"expected", Text(kSaveFileSize)}});
}

// What reading SAVE.DAT into `image` met: nothing (it was read), a file that is no SAVE.DAT (damaged), or
// one that cannot be read at all, which says nothing of what it holds.
struct ReadOutcome {
  std::u16string unreadable;  // why it cannot be read
  std::u16string damaged;     // what is wrong with it
};

ReadOutcome ReadSaveImage(const ErrorList& errors, const std::filesystem::path& path, SaveBlock& image) {
  // Not blocking: a named pipe in SAVE.DAT's place is reported, never waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {Reason(errno), {}};
  ReadOutcome outcome;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    outcome.unreadable = Reason(errno);
  } else if (S_ISDIR(st.st_mode)) {
    outcome.unreadable = Reason(EISDIR);
  } else if (!S_ISREG(st.st_mode)) {
    outcome.unreadable = errors.Shown(error_text::kSaveNotRegular);
  } else if (static_cast<uint64_t>(st.st_size) != kSaveFileSize) {
    outcome.damaged = SaveSizeProblem(errors, static_cast<uint64_t>(st.st_size));
  } else {
    auto* bytes = reinterpret_cast<uint8_t*>(&image);
    size_t done = 0;
    while (done < sizeof(SaveBlock) && outcome.unreadable.empty()) {
      const ssize_t n = ::read(fd, bytes + done, sizeof(SaveBlock) - done);
      if (n > 0)
        done += static_cast<size_t>(n);
      else if (n == 0)
        outcome.unreadable = errors.Shown(error_text::kSaveShortened);
      else if (errno != EINTR)
        outcome.unreadable = Reason(errno);
    }
  }
  ::close(fd);
  return outcome;
}

}  // namespace

std::filesystem::path SaveData::SaveFilePath() { return FindGameFile(SaveDir, "SAVE.DAT"); }

bool SaveData::Kumo_CheckSaveFile() {
  std::error_code ec;
  return std::filesystem::exists(SaveFilePath(), ec);
}

void SaveData::SetSaveDefaults() {
  Block->MessageSpeed = 2;
  Block->EffectsOn = 1;
  Block->FullScreen = 0;
  Block->VoiceVolume = 100;
  Block->BgmVolume = 30;
  Block->SeVolume = 100;
  Block->AutoDelay = 2;
}

bool SaveData::Kumo_CreateSaveFile() { return WriteSaveFile(kWriteFailedNoticeTicks); }

bool SaveData::SaveAtQuit(bool mayAsk) {
  while (!Kumo_CreateSaveFile())
    if (!mayAsk || !host_.AskToRetrySave()) return false;
  return true;
}

bool SaveData::WriteSaveFile(int32_t failedNoticeTicks) {
  if (SaveWriteBlocked) {
    errors_.Add(error_text::kSaveBlocked, {});
    return false;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(Block.get());
  std::string error = WriteFileAtomically(SaveFilePath(), {bytes, sizeof(SaveBlock)}, SaveBeforeRenameHook);
  if (error.empty()) {
    platform_.PlayerFilesWritten();
    return true;
  }
  errors_.Add(error_text::kSaveNotWritten, {{u"error", FromUtf8(error)}});
  host_.ShowNotice(host_.EngineText(u"セーブデータを書き込めませんでした"), failedNoticeTicks);
  return false;
}

bool SaveData::Kumo_ReadSaveFile() {
  const std::filesystem::path path = SaveFilePath();
  std::error_code ec;
  // A first start whose SAVE.DAT could not be written (already reported) goes on with the defaults
  // that are in the block.
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return true;
  // The block is read into a copy first, so a read that fails half-way leaves nothing half-loaded.
  auto image = std::make_unique<SaveBlock>();
  const ReadOutcome read = ReadSaveImage(errors_, path, *image);
  if (read.unreadable.empty() && read.damaged.empty()) {
    std::memcpy(Block.get(), image.get(), sizeof(SaveBlock));
    return true;
  }
  std::memset(Block.get(), 0, sizeof(SaveBlock));
  SetSaveDefaults();
  // A file that cannot be read may hold the player's games all the same (a permission, a drive, a
  // folder put in its place): it stays where it is, and nothing is written over it this session.
  if (!read.unreadable.empty()) {
    SaveWriteBlocked = true;
    errors_.Add(error_text::kSaveUnreadable, {{u"error", read.unreadable}});
    host_.ShowNotice(host_.EngineText(u"セーブデータが読めないため、初期設定で始めます（セーブできません）"),
                     kDamagedNoticeTicks);
    return false;
  }
  const std::u16string& problem = read.damaged;

  // Nothing the player saved may be lost: the file keeps its bytes under a new name, and only then
  // does a fresh SAVE.DAT take its place.
  const std::filesystem::path aside = AsideName(path);
  std::filesystem::rename(path, aside, ec);
  if (ec) {
    SaveWriteBlocked = true;
    errors_.Add(error_text::kSaveDamagedKept, {{u"problem", problem}, {u"error", FromUtf8(ec.message())}});
    host_.ShowNotice(host_.EngineText(u"セーブデータが読めないため、初期設定で始めます（セーブできません）"),
                     kDamagedNoticeTicks);
  } else {
    errors_.Add(error_text::kSaveDamagedAside, {{u"problem", problem}, {u"file", Text(aside)}});
    host_.ShowNotice(FillInName(host_.EngineText(u"セーブデータが壊れていたため、{file} に移して初期設定で始めます"),
                                u"{file}", FromUtf8(aside.filename().string())),
                     kDamagedNoticeTicks);
    // When the fresh file cannot be written either, that notice takes this one's place for as long.
    WriteSaveFile(kDamagedNoticeTicks);
  }
  return false;
}

std::u16string SaveData::ImportSaveFile(std::span<const uint8_t> bytes) {
  if (bytes.size() != kSaveFileSize) {
    const std::u16string problem =
        errors_.Shown(error_text::kImportWrongSize, {{u"problem", SaveSizeProblem(errors_, bytes.size())}});
    errors_.Add(error_text::kImportedSave, {{u"problem", problem}});
    return problem;
  }
  // The size is all that marks the format: a file of that size is read for values no engine writes too.
  auto image = std::make_unique<SaveBlock>();
  std::memcpy(image.get(), bytes.data(), sizeof(SaveBlock));
  if (const std::u16string implausible =
          ImplausibleSave(errors_, *image, [this](int n) { return host_.ScriptSteps(n); });
      !implausible.empty()) {
    const std::u16string problem = errors_.Shown(error_text::kImportImplausible, {{u"problem", implausible}});
    errors_.Add(error_text::kImportedSave, {{u"problem", problem}});
    return problem;
  }
  if (SaveWriteBlocked) {
    const std::u16string problem = errors_.Shown(error_text::kImportBlocked);
    errors_.Add(problem);
    return problem;
  }
  // The saves being replaced stay beside the new ones.
  const std::filesystem::path path = SaveFilePath();
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    const std::filesystem::path aside = AsideName(path, "replaced");
    std::filesystem::copy_file(path, aside, ec);
    if (ec) {
      const std::u16string problem =
          errors_.Shown(error_text::kImportNotKept, {{u"file", Text(aside)}, {u"error", FromUtf8(ec.message())}});
      errors_.Add(problem);
      return problem;
    }
  }
  const std::string error = WriteFileAtomically(path, bytes, SaveBeforeRenameHook);
  if (!error.empty()) {
    const std::u16string problem = errors_.Shown(error_text::kSaveNotWritten, {{u"error", FromUtf8(error)}});
    errors_.Add(problem);
    return problem;
  }
  // A thumbnail shows its slot's scene: one whose slot the import changed goes aside with the old saves;
  // one whose slot came back as it was stays.
  std::filesystem::path thumbsAside;
  for (int n = 1; n <= kSaveSlots; ++n) {
    const std::filesystem::path thumb = ThumbnailPath(n);
    if (std::memcmp(&Block->Slot(n), &image->Slot(n), sizeof(SaveRecord)) == 0 ||
        !std::filesystem::exists(std::filesystem::symlink_status(thumb, ec)))
      continue;
    if (thumbsAside.empty()) {
      thumbsAside = AsideName(thumb.parent_path(), "replaced");
      std::filesystem::create_directory(thumbsAside, ec);
    }
    std::filesystem::rename(thumb, thumbsAside / thumb.filename(), ec);
    if (ec) std::filesystem::remove(thumb, ec);  // a wrong picture is never shown for a slot
  }
  // What this session saves from now on builds on the imported saves, never on the replaced ones.
  std::memcpy(Block.get(), image.get(), sizeof(SaveBlock));
  platform_.PlayerFilesWritten();
  return {};
}

void SaveData::CreateThumbFolder() {
  std::error_code ec;
  std::filesystem::path folder = FindGameFile(SaveDir, "THUMB");
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directory(folder, ec);
  // Thumbnails whose writing a crash cut short.
  RemovePendingFiles(folder);
}

}  // namespace mokuren
