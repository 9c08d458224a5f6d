// A slot thumbnail (THUMB/SAVE<n>.dat) is a file on the disk and may be anything. The save screen reads
// it from the file and draws its page; whatever the file holds, nothing is read or written outside the
// buffers, and the page changes only inside the thumbnail's own 128 x 96 place.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/engine_state.h"
#include "save/TForm7.h"
#include "save/bmp_file.h"
#include "save/save_screen_host.h"

using namespace mokuren;

namespace {

namespace fs = std::filesystem;

// Slot 1's thumbnail is where the save screen finds it; slots 2-10 are saved without one.
constexpr int32_t kThumbX = 34, kThumbY = 53, kThumbWidth = 128, kThumbHeight = 96;

const fs::path& Folder() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("mokuren-fuzz-thumb-" + std::to_string(getpid()));
    fs::create_directories(d);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Folder(), ec);
    });
    return d;
  }();
  return dir;
}

class Host final : public SaveScreenHost {
 public:
  Host() : saves_(std::make_unique<SaveBlock>()) {
    for (int n = 1; n <= 10; ++n) {
      saves_->Slot(n).Used = 1;
      saves_->Slot(n).SaveDate = 46000 + n;
    }
  }
  bool thumbnail = true;

  const SaveBlock& SavedGames() const override { return *saves_; }
  bool SaveGame(int) override { return false; }
  bool LoadGame(int) override { return false; }
  void LoadScreenPicture(int32_t, int32_t) override {}
  bool ReadThumbnail(int n, TABitmap& image, std::string& error) override {
    if (n != 1 || !thumbnail) {
      error = "the file is missing";
      return false;
    }
    return ReadBmpFile(Folder() / "SAVE1.dat", image, error);
  }
  void DrawScreenText(TABitmap&, int32_t, int32_t, const std::u16string&, int32_t) override {}
  std::u16string ScreenLabel(const std::u16string& original) override { return original; }
  Point ScreenCursorPos() override { return {}; }
  void EditComment(int, std::function<void()>) override {}
  void ReportScreenError(std::u16string_view, std::initializer_list<TextField>) override {}

 private:
  std::unique_ptr<SaveBlock> saves_;
};

// Page 1 as the screen draws it when slot 1 has no thumbnail.
const TABitmap& PageWithoutThumbnail() {
  static const TABitmap page = [] {
    Host host;
    host.thumbnail = false;
    TForm7 screen(host);
    screen.DrawSaveInfo(1);
    return screen.Image1;
  }();
  return page;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream file(Folder() / "SAVE1.dat", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // One screen serves every run (a page is drawn whole each time): pages of 800 x 600 taken and given
  // back on every run would cost the fuzzer more than the drawing.
  static Host host;
  static TForm7 screen(host);
  screen.DrawSaveInfo(1);
  const TABitmap& expected = PageWithoutThumbnail();
  // Row by row, the parts left and right of the thumbnail's place (the whole row above and below it).
  for (int32_t y = 0; y < 600; ++y) {
    const uint8_t* got = screen.Image1.ScanLine(y);
    const uint8_t* want = expected.ScanLine(y);
    const bool beside = y >= kThumbY && y < kThumbY + kThumbHeight;
    const size_t left = 4 * static_cast<size_t>(beside ? kThumbX : 800);
    const size_t right = 4 * static_cast<size_t>(kThumbX + kThumbWidth);
    if (std::memcmp(got, want, left) != 0) std::abort();
    if (beside && std::memcmp(got + right, want + right, 4 * 800 - right) != 0) std::abort();
  }
  return 0;
}
