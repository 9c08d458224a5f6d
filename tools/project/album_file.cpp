#include "project/album_file.h"

#include <sstream>

#include "menus/album_tables.h"

namespace mokuren::project {

std::vector<AlbumPlacement> ParseAlbumFile(const std::string& text, const std::string& file,
                                           std::vector<std::string>& errors) {
  std::vector<AlbumPlacement> placements;
  std::map<std::pair<int, int>, int> slotsSeen;  // (page, slot) -> line
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string where;
    if (!(words >> where)) continue;
    auto fail = [&](const std::string& message) {
      errors.push_back(file + ":" + std::to_string(number) + ": " + message);
    };
    int page = 0, slot = 0;
    char dash = 0, extra = 0;
    std::istringstream ps(where);
    if (!(ps >> page >> dash >> slot) || dash != '-' || (ps >> extra) || page < 1 || page > album::kPages || slot < 1 ||
        slot > album::kSlotsPerPage) {
      fail("\"" + where + "\" is not a slot: write PAGE-SLOT, each from 1 to 10 (1-1 is page 1, slot 1)");
      continue;
    }
    if (const auto [at, added] = slotsSeen.emplace(std::pair{page, slot}, number); !added) {
      fail("slot " + where + " is already filled on line " + std::to_string(at->second));
      continue;
    }
    const auto& entries = album::kStandardCgTable[static_cast<size_t>(page - 1)][static_cast<size_t>(slot - 1)];
    size_t capacity = 0;
    while (capacity < entries.size() && entries[capacity] != album::kNone) ++capacity;
    std::vector<std::string> pictures;
    for (std::string name; words >> name;) pictures.push_back(name);
    if (pictures.empty()) {
      fail("slot " + where + " names no picture");
    } else if (pictures.size() > capacity) {
      fail("slot " + where + " holds " + std::to_string(capacity) + (capacity == 1 ? " picture" : " pictures") +
           ", not " + std::to_string(pictures.size()));
    } else {
      for (size_t v = 0; v < pictures.size(); ++v) placements.push_back({pictures[v], entries[v], number});
    }
  }
  return placements;
}

}  // namespace mokuren::project
