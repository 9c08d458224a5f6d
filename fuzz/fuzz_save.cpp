// SAVE.DAT lies in the game directory and may be anything. Loading it at start must either take it or put
// it aside, and a saved game restored from it must rebuild screen, sound and script without reading or
// writing outside anything, however its numbers (script, step, pictures, layers, music, return table,
// flags) are set; the story then plays on from there.
//
// The input is laid over the parts of SAVE.DAT a restore reads (shorter inputs leave the rest zero):
// the quick-save slot's record (1424 bytes), the settings from the message speed to the album music
// (68 bytes), then the system variables (1024 bytes). An input of exactly SAVE.DAT's size is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "support/fuzz_engine.h"
#include "toolkit/archive_writer.h"

using namespace mokuren;

namespace {

struct Part {
  size_t offset, size;
};
constexpr Part kParts[] = {
    {offsetof(SaveBlock, Slots) + (kQuickSlot - 1) * sizeof(SaveRecord), sizeof(SaveRecord)},
    {offsetof(SaveBlock, MessageSpeed), offsetof(SaveBlock, Reserved5) + 4 - offsetof(SaveBlock, MessageSpeed)},
    {offsetof(SaveBlock, SystemVarsRaw), sizeof(SaveBlock::SystemVarsRaw)},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string file(kSaveFileSize, '\0');
  if (size == kSaveFileSize) {
    file.assign(reinterpret_cast<const char*>(data), size);
  } else {
    size_t at = 0;
    for (const Part& part : kParts) {
      const size_t n = std::min(part.size, size - std::min(size, at));
      std::memcpy(file.data() + part.offset, data + at, n);
      at += part.size;
    }
  }
  const auto& dir = fuzzing::GameDir();
  toolkit::WriteWholeFile(dir / "SAVE.DAT", file);
  fuzzing::Engine engine;
  // What the quick-load button does, then the restore and the story after it.
  engine.form().Save().QuickLoad();
  engine.Play(fuzzing::kPlayMs);
  return 0;
}
