// Sound files come from the game directory and may be anything. A stream must either refuse the bytes
// (EOggLoad) or play them: the loop-point comment, the conversion and the read loop may not read outside
// their buffers, divide by zero or spin, whatever the file says. The first byte picks the play mode.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/OggPlayerLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mokuren;
  if (size < 1) return 0;
  // The comment parser alone, on the raw bytes.
  OggLoopTable loops{};
  ParseLoopComment(std::string(reinterpret_cast<const char*>(data), size), 44100, loops);
  ParseLoopComment(std::string(reinterpret_cast<const char*>(data), size), 0, loops);

  uint8_t mode = data[0];
  TOggData stream(4096);  // small halves keep each run short
  try {
    if (!stream.LoadFromStream(std::make_unique<TMemoryStream>(std::vector<uint8_t>(data + 1, data + size)))) return 0;
  } catch (const EOggLoad&) {
    return 0;
  }
  TOggPlayer player(4096, 10);
  player.AttachStream(mode % 10, &stream);
  stream.FadeTo((mode >> 4) / 4.0, (mode & 8) ? 0.0 : 1.0);
  player.PlaySlot(mode % 10, (mode & 1) != 0);
  for (int i = 0; i < 64; ++i) player.MixHalf();
  return 0;
}
