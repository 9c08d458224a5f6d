// Reading entries of a picture archive as the engine does: by number through the index, and by name
// through the name list, then decoding and placing the picture. Whatever the index says (entries beyond
// the file, inside the index, overlapping, of any size), a read must copy only bytes of the file or
// report the entry as empty, and the engine goes on.
//
// The input is a compact archive: its first byte is the number of index entries it gives (entry 0 on),
// followed by those 8-byte entries, then the bytes of the file after the index. The rest of the index
// is zero. The same archive serves as GRAPHIC.DAT and SYSGRP.DAT.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "dialogs/TDebugForm.h"
#include "support/fuzz_engine.h"
#include "toolkit/archive_writer.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t entries = std::min<size_t>(data[0], (size - 1) / 8);
  std::string file(ArchiveIndex::kMinFileSize, '\0');
  std::memcpy(file.data() + ArchiveIndex::kIndexOffset, data + 1, entries * 8);
  file.append(reinterpret_cast<const char*>(data + 1 + entries * 8), size - 1 - entries * 8);
  const auto& dir = fuzzing::GameDir();
  toolkit::WriteWholeFile(dir / "GRAPHIC.DAT", file);
  toolkit::WriteWholeFile(dir / "SYSGRP.DAT", file);
  // One engine for the whole run: start-up reads the archives, and reading them again is what is tested.
  static fuzzing::Engine engine;
  TForm1& form = engine.form();
  if (!form.Archive().Kuri_FileInit()) return 0;
  std::vector<uint8_t> bytes;
  for (int e = 0; e <= static_cast<int>(entries) + 1; ++e) form.Archive().Kuri_ReadFile(ArchiveKind::Graphic, e, bytes);
  for (int e = 1; e <= static_cast<int>(entries); ++e) form.Pictures().Kumo_ReadGraphic(1 + e % 5, e, e % 2 == 0);
  for (const std::u16string& name : form.Archive().GraphicNames)
    form.Pictures().Kumo_ReadGraphic(0, form.Archive().Kuri_FileNo(ArchiveKind::Graphic, name), false);
  form.Pictures().LoadSystemPictures(false);
  return 0;
}
