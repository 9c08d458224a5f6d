// mokuren-asm: scenario sources to compiled script entries, or straight to SCRIPT.DAT.
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>

#include "toolkit/archive_writer.h"
#include "toolkit/scenario_assembler.h"

namespace fs = std::filesystem;
using namespace mokuren;
using namespace mokuren::toolkit;

namespace {

const char* kUsage =
    "usage: mokuren-asm SOURCE -o ENTRY              compile one scenario into a script entry\n"
    "       mokuren-asm --archive SCRIPT.DAT [N=]SOURCE...\n"
    "                                                compile scenarios into an archive; script N is\n"
    "                                                SOURCE (without N=, the next number from 1)\n";

// Returns false (messages printed) when the source has faults.
bool Compile(const std::string& path, std::string& entry) {
  AssemblyResult r = AssembleScenario(ReadWholeFile(path), path);
  for (const std::string& e : r.errors) std::cerr << e << '\n';
  if (!r.ok()) return false;
  entry = EncodeScriptImage(r.image);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (args.size() == 3 && args[1] == "-o") {
      std::string entry;
      if (!Compile(args[0], entry)) return 1;
      WriteWholeFile(args[2], entry);
      return 0;
    }
    if (args.size() >= 3 && args[0] == "--archive") {
      std::vector<ArchiveEntry> scripts;
      std::map<size_t, std::string> sources;
      size_t next = 1;
      bool ok = true;
      for (size_t i = 2; i < args.size(); ++i) {
        std::string source = args[i];
        size_t number = next;
        if (size_t eq = source.find('=');
            eq != std::string::npos && eq > 0 && source.find_first_not_of("0123456789") == eq) {
          number = std::stoul(source.substr(0, eq));
          source = source.substr(eq + 1);
        }
        if (number < 1 || number > 65535) throw std::runtime_error("script numbers run from 1 to 65535");
        next = number + 1;
        if (scripts.size() < number) scripts.resize(number);
        if (!sources.emplace(number, source).second)
          throw std::runtime_error("two sources for script " + std::to_string(number) + ": " + sources[number] +
                                   " and " + source);
        scripts[number - 1].name = fs::path(source).stem().string();
        ok = Compile(source, scripts[number - 1].bytes) && ok;
      }
      if (!ok) return 1;
      WriteArchive(args[1], scripts);
      return 0;
    }
  } catch (const std::exception& e) {
    std::cerr << "mokuren-asm: " << e.what() << '\n';
    return 1;
  }
  std::cerr << kUsage;
  return 2;
}
