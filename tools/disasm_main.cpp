// mokuren-disasm: compiled script entries back to scenario text.
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_disassembler.h"

namespace fs = std::filesystem;
using namespace mokuren;
using namespace mokuren::toolkit;

namespace {

const char* kUsage =
    "usage: mokuren-disasm ENTRY [-o SOURCE]                 disassemble one compiled script entry\n"
    "       mokuren-disasm --archive SCRIPT.DAT N [-o SOURCE]  disassemble script N of an archive\n"
    "       mokuren-disasm --archive SCRIPT.DAT --all DIR     every script N to DIR/scriptN.txt\n";

void Output(const std::string& text, const std::vector<std::string>& args, size_t at) {
  if (args.size() == at + 2 && args[at] == "-o")
    WriteWholeFile(args[at + 1], text);
  else
    std::cout << text;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (args.size() >= 3 && args[0] == "--archive") {
      LoadedArchive a = LoadArchive(args[1]);
      if (args[2] == "--all" && args.size() == 4) {
        fs::create_directories(args[3]);
        int failed = 0;
        for (const ArchiveProblem& p : a.problems) {
          std::cerr << args[1] << ": script " << p.entry << " " << p.reason << '\n';
          ++failed;
        }
        for (size_t n = 1; n < a.Count(); ++n) {
          if (a.Entry(n).empty()) continue;
          try {
            WriteWholeFile(fs::path(args[3]) / ("script" + std::to_string(n) + ".txt"), DisassembleEntry(a.Entry(n)));
          } catch (const std::exception& e) {
            std::cerr << args[1] << ": script " << n << ": " << e.what() << '\n';
            ++failed;
          }
        }
        return failed ? 1 : 0;
      }
      size_t n = std::stoul(args[2]);
      for (const ArchiveProblem& p : a.problems)
        if (p.entry == n) throw std::runtime_error(args[1] + ": script " + args[2] + " " + p.reason);
      if (n < 1 || n >= ArchiveIndex::kEntries || a.Entry(n).empty())
        throw std::runtime_error(args[1] + " has no script " + args[2]);
      Output(DisassembleEntry(a.Entry(n)), args, 3);
      return 0;
    }
    if (!args.empty() && args[0][0] != '-') {
      Output(DisassembleEntry(ReadWholeFile(args[0])), args, 1);
      return 0;
    }
  } catch (const std::exception& e) {
    std::cerr << "mokuren-disasm: " << e.what() << '\n';
    return 1;
  }
  std::cerr << kUsage;
  return 2;
}
