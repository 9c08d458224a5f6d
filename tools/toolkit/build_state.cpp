#include "toolkit/build_state.h"

#include <sys/stat.h>

#include <sstream>

#include "toolkit/archive_writer.h"

namespace fs = std::filesystem;

namespace mokuren::toolkit {

namespace {

constexpr const char* kHeader = "mokuren-build state 1";

}  // namespace

std::optional<FileStamp> StampOf(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<uint64_t>(st.st_size),
                   static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

BuildState ReadBuildState(const fs::path& gameDir) {
  BuildState state;
  std::string text, error;
  if (!ReadWholeFile(gameDir / kBuildStateFile, text, error)) return state;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return state;
  // "archive|input SIZE MTIME_NS NAME", the name running to the end of the line.
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind;
    FileStamp stamp;
    if (!(fields >> kind >> stamp.size >> stamp.modifiedNs) || fields.get() != ' ') return {};
    std::string name;
    std::getline(fields, name);
    if (name.empty() || (kind != "archive" && kind != "input")) return {};
    (kind == "archive" ? state.archives : state.inputs)[name] = stamp;
  }
  return state;
}

bool WriteBuildState(const fs::path& gameDir, const BuildState& state) {
  std::string text = std::string(kHeader) + "\n";
  for (const auto* list : {&state.archives, &state.inputs})
    for (const auto& [name, stamp] : *list) {
      if (name.find('\n') != std::string::npos) continue;  // read again next time
      text += std::string(list == &state.archives ? "archive " : "input ") + std::to_string(stamp.size) + " " +
              std::to_string(stamp.modifiedNs) + " " + name + "\n";
    }
  try {
    WriteWholeFile(gameDir / kBuildStateFile, text);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace mokuren::toolkit
