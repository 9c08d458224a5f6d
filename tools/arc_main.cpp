// mokuren-arc: pack files into a data archive, list one, unpack one.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "base/text_codec.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;
using namespace mokuren;
using namespace mokuren::toolkit;

namespace {

const char* kUsage =
    "usage: mokuren-arc pack ARCHIVE DIR          pack the files of DIR, sorted by name, as entries 1..\n"
    "       mokuren-arc pack ARCHIVE [N=]FILE...  pack the files in the order given; N= puts a file at\n"
    "                                             entry N (the files after it follow on from N + 1)\n"
    "       mokuren-arc list ARCHIVE              show entry numbers, sizes and names\n"
    "       mokuren-arc unpack ARCHIVE DIR        write every non-empty entry to DIR under its name\n"
    "exit status: 0 done, 1 the archive cannot be read or some of its entries cannot (each is named), 2 bad usage\n";

int Pack(const std::string& archive, const std::vector<std::string>& inputs) {
  std::vector<std::pair<size_t, fs::path>> files;
  if (inputs.size() == 1 && fs::is_directory(inputs[0])) {
    for (const auto& e : fs::directory_iterator(inputs[0]))
      if (e.is_regular_file()) files.emplace_back(0, e.path());
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i < files.size(); ++i) files[i].first = i + 1;
  } else {
    size_t next = 1;
    for (const std::string& input : inputs) {
      size_t number = next;
      std::string file = input;
      if (size_t eq = input.find('=');
          eq != std::string::npos && eq > 0 && input.find_first_not_of("0123456789") == eq) {
        number = std::stoul(input.substr(0, std::min<size_t>(eq, 6)));
        file = input.substr(eq + 1);
      }
      if (number < 1 || number >= ArchiveIndex::kEntries)
        throw std::runtime_error(input + ": entry numbers run from 1 to " + std::to_string(ArchiveIndex::kEntries - 1));
      files.emplace_back(number, file);
      next = number + 1;
    }
  }
  // Entries that no file names stay empty, with an empty line in the name list.
  std::vector<ArchiveEntry> entries;
  for (const auto& [number, file] : files) {
    if (entries.size() < number) entries.resize(number);
    ArchiveEntry& entry = entries[number - 1];
    if (!entry.name.empty())
      throw std::runtime_error("two files for entry " + std::to_string(number) + ": " + entry.name + " and " +
                               file.filename().string());
    entry = {file.filename().string(), ReadWholeFile(file)};
  }
  WriteArchive(archive, entries);
  std::cout << archive << ": " << files.size() << " entries\n";
  return 0;
}

// Line k of the name list names entry k + 1; entries past the list are called entryN.
std::string EntryName(const LoadedArchive& a, size_t n) {
  if (n == 0) return "(name list)";
  if (n - 1 < a.names.lines.size()) {
    std::string name = ToUtf8(Trim(a.names.lines[n - 1]));
    if (!name.empty() && UpperCase(FromUtf8(name)) != u":END") return name;
  }
  return "entry" + std::to_string(n);
}

// The reason an entry the index gives cannot be read, or nothing.
const std::string* ProblemOf(const LoadedArchive& a, size_t n) {
  for (const ArchiveProblem& p : a.problems)
    if (p.entry == n) return &p.reason;
  return nullptr;
}

int List(const std::string& archive) {
  LoadedArchive a = LoadArchive(archive);
  for (size_t n = 0; n < a.Count(); ++n) {
    if (a.index[n].size == 0) continue;
    const std::string* problem = ProblemOf(a, n);
    std::cout << n << '\t' << a.index[n].size << '\t' << EntryName(a, n) << (problem ? "\t(" + *problem + ")" : "")
              << '\n';
  }
  if (!a.names.hasEnd) std::cerr << archive << ": warning: the name list has no \":END\" line\n";
  return a.problems.empty() ? 0 : 1;
}

int Unpack(const std::string& archive, const fs::path& dir) {
  LoadedArchive a = LoadArchive(archive);
  fs::create_directories(dir);
  int written = 0;
  for (size_t n = 1; n < a.Count(); ++n) {
    if (a.index[n].size == 0) continue;
    if (const std::string* problem = ProblemOf(a, n)) {
      std::cerr << archive << ": entry " << n << " " << *problem << "; skipped\n";
      continue;
    }
    std::string name = EntryName(a, n);
    // A name is a file name, never a path out of the target directory.
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '_');
    if (name == "." || name == "..") name = "entry" + std::to_string(n);
    WriteWholeFile(dir / name, std::string(a.Entry(n)));
    ++written;
  }
  std::cout << archive << ": " << written << " entries written to " << dir.string() << '\n';
  return a.problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (args.size() >= 3 && args[0] == "pack") return Pack(args[1], {args.begin() + 2, args.end()});
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if (args.size() == 3 && args[0] == "unpack") return Unpack(args[1], args[2]);
  } catch (const std::exception& e) {
    std::cerr << "mokuren-arc: " << e.what() << '\n';
    return 1;
  }
  std::cerr << kUsage;
  return 2;
}
