// Slot thumbnails: the last composed frame scaled down to 128 x 96, kept as "THUMB/SAVE<n>.dat".
#include "base/atomic_file.h"
#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/frame.h"
#include "base/text_codec.h"
#include "graphics/ABitmapFilters32.h"
#include "platform/game_files.h"
#include "save/bmp_file.h"
#include "save/save_data.h"
#include "save/save_host.h"

namespace mokuren {

namespace {

constexpr int32_t kThumbWidth = 128;
constexpr int32_t kThumbHeight = 96;

}  // namespace

std::filesystem::path SaveData::ThumbnailPath(int n) {
  return FindGameFile(SaveDir, "THUMB\\SAVE" + std::to_string(n) + ".dat");
}

bool SaveData::WriteThumbnail(int n) {
  TABitmap thumb(kThumbWidth, kThumbHeight);
  thumb.FillRGB(0, 0, 0);
  StretchBilinear(host_.Frame(), thumb, 0, 0, kThumbWidth, kThumbHeight, 0, 0, kFrameWidth, kFrameHeight);
  const std::vector<uint8_t> file = EncodeBmp32(thumb);
  std::filesystem::path path = ThumbnailPath(n);
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);  // a THUMB folder removed while playing
  std::string error = WriteFileAtomically(path, file);
  if (error.empty()) {
    platform_.PlayerFilesWritten();
    return true;
  }
  errors_.Add(error_text::kThumbnailNotWritten,
              {{u"file", FromUtf8(path.filename().string())}, {u"error", FromUtf8(error)}});
  return false;
}

bool SaveData::ReadThumbnail(int n, TABitmap& image, std::string& error) {
  return ReadBmpFile(ThumbnailPath(n), image, error);
}

}  // namespace mokuren
