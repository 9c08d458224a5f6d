// SAVE.DAT: the byte image of SaveBlock, its first-start settings, and the THUMB folder beside it.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "base/error_list.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "save/atomic_file.h"
#include "save/save_data.h"
#include "save/save_date.h"
#include "save/save_host.h"
#include "text/engine_texts.h"

namespace mokuren {

namespace {

// How long the player is shown that the saved data had to be put aside, and that SAVE.DAT could not be
// written (timer ticks of 10 ms).
constexpr int32_t kDamagedNoticeTicks = 1000;
constexpr int32_t kWriteFailedNoticeTicks = 300;

// "SAVE.DAT.damaged-20261207-203015", with "-2", "-3", ... when that name is taken.
std::filesystem::path DamagedName(const std::filesystem::path& file) {
  CivilTime t = CivilFromSaveDate(SaveDateNow());
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  std::filesystem::path base = file;
  base += std::string(".damaged-") + stamp;
  std::filesystem::path name = base;
  std::error_code ec;
  for (int k = 2; std::filesystem::exists(std::filesystem::symlink_status(name, ec)); ++k) {
    name = base;
    name += "-" + std::to_string(k);
  }
  return name;
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

bool SaveData::WriteSaveFile(int32_t failedNoticeTicks) {
  if (SaveWriteBlocked) {
    errors_.Add(u"壊れた SAVE.DAT を退避できなかったため、SAVE.DAT には書き込みませんでした");
    return false;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(Block.get());
  std::string error = WriteFileAtomically(SaveFilePath(), {bytes, sizeof(SaveBlock)}, SaveBeforeRenameHook);
  if (error.empty()) {
    platform_.PlayerFilesWritten();
    return true;
  }
  errors_.Add(u"SAVE.DAT に書き込めませんでした（" + FromUtf8(error) + u"）。前のセーブデータはそのまま残っています");
  host_.ShowNotice(host_.EngineText(u"セーブデータを書き込めませんでした"), failedNoticeTicks);
  return false;
}

bool SaveData::Kumo_ReadSaveFile() {
  const std::filesystem::path path = SaveFilePath();
  std::u16string problem;
  std::error_code ec;
  // A first start whose SAVE.DAT could not be written (already reported) goes on with the defaults
  // that are in the block.
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return true;
  const auto size = std::filesystem::file_size(path, ec);
  // The block is read into a copy first, so a read that fails half-way leaves nothing half-loaded.
  auto image = std::make_unique<SaveBlock>();
  if (ec) {
    problem = u"SAVE.DAT を読み込めません（" + FromUtf8(ec.message()) + u"）";
  } else if (size != kSaveFileSize) {
    problem = u"SAVE.DAT の大きさが " + FromUtf8(std::to_string(size)) + u" バイトで、正しい大きさの " +
              FromUtf8(std::to_string(kSaveFileSize)) + u" バイトと違います";
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(image.get()), sizeof(SaveBlock)))
      problem = u"SAVE.DAT を読み込めません";
  }
  if (problem.empty()) {
    std::memcpy(Block.get(), image.get(), sizeof(SaveBlock));
    return true;
  }

  // Nothing the player saved may be lost: the file keeps its bytes under a new name, and only then
  // does a fresh SAVE.DAT take its place.
  const std::filesystem::path aside = DamagedName(path);
  std::filesystem::rename(path, aside, ec);
  std::memset(Block.get(), 0, sizeof(SaveBlock));
  SetSaveDefaults();
  if (ec) {
    SaveWriteBlocked = true;
    errors_.Add(problem + u"。退避もできなかったため（" + FromUtf8(ec.message()) +
                u"）、初期設定で始めます。SAVE.DAT には書き込みません");
    host_.ShowNotice(host_.EngineText(u"セーブデータが読めないため、初期設定で始めます（セーブできません）"),
                     kDamagedNoticeTicks);
  } else {
    errors_.Add(problem + u"。元のファイルを " + FromUtf8(aside.filename().string()) +
                u" として残し、初期設定で始めます");
    host_.ShowNotice(FillInName(host_.EngineText(u"セーブデータが壊れていたため、{file} に移して初期設定で始めます"),
                                u"{file}", FromUtf8(aside.filename().string())),
                     kDamagedNoticeTicks);
    // When the fresh file cannot be written either, that notice takes this one's place for as long.
    WriteSaveFile(kDamagedNoticeTicks);
  }
  return false;
}

void SaveData::CreateThumbFolder() {
  std::error_code ec;
  std::filesystem::path folder = FindGameFile(SaveDir, "THUMB");
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directory(folder, ec);
  // Thumbnails whose writing a crash cut short.
  RemovePendingFiles(folder);
}

}  // namespace mokuren
