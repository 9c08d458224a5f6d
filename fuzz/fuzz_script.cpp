// Scripts come from SCRIPT.DAT and may hold any code. Run by the interpreter as the story's first
// script, for a bounded number of passes with a player clicking, pressing keys and answering dialogs,
// random code may jump, call, wait, branch, show pictures, play sounds, open the title and the name entry
// and load the other scripts, but it may not crash, read or write outside the loaded code and tables,
// or hold a pass for ever. The input is a SCRIPT.DAT entry (code and the four tables).
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/fuzz_engine.h"
#include "toolkit/archive_writer.h"

using namespace mokuren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Each run starts from a first start's SAVE.DAT, so runs do not depend on each other.
  toolkit::WriteWholeFile(fuzzing::GameDir() / "SAVE.DAT", fuzzing::FreshSave());
  fuzzing::WriteScripts(std::string(reinterpret_cast<const char*>(data), size));
  fuzzing::Engine engine;
  engine.Play(fuzzing::kPlayMs);
  return 0;
}
