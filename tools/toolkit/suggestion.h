// "Did you mean": the closest of the names a writer could have meant, for a name that names nothing (a
// label, a mnemonic, a picture or a voice).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mokuren::toolkit {

// The candidate nearest to `wrong` by edits of single characters (an insertion, a deletion, a change or
// two neighbours swapped; letter case is no difference), when it is near enough to be a slip: at most a
// third of the name's characters, and one for a short name. Empty when none is, or when two are equally
// near. Names are UTF-8 and compared by character.
std::string ClosestName(std::string_view wrong, const std::vector<std::string>& candidates);

// "; did you mean \"BG01\"?" for the closest name, or nothing: to append to a message.
std::string DidYouMean(std::string_view wrong, const std::vector<std::string>& candidates);

}  // namespace mokuren::toolkit
