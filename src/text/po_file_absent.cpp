// The web build has no libgettextpo: a translation's PO file is refused with a message saying so, and
// the game is played in its original language.
#include "text/po_file.h"

namespace mokuren {

std::optional<PoFile> ReadPoFile(const std::filesystem::path& path, std::vector<std::string>& problems) {
  problems.push_back(path.string() + ": translations cannot be read in the browser build");
  return std::nullopt;
}

std::optional<std::string> ReadPoEntries(const std::filesystem::path& path, std::vector<std::string>& problems,
                                         const std::function<void(const PoEntryView&)>&, std::string*, bool) {
  return ReadPoFile(path, problems) ? std::optional<std::string>(std::string()) : std::nullopt;
}

}  // namespace mokuren
