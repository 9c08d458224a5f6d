#include "toolkit/suggestion.h"

#include <algorithm>
#include <limits>

#include "base/text_codec.h"

namespace mokuren::toolkit {

namespace {

// Optimal string alignment distance (Levenshtein with swaps of neighbours), stopping early once every
// cell of a row is past `bound`.
size_t Distance(const std::u16string& a, const std::u16string& b, size_t bound) {
  const size_t n = a.size(), m = b.size();
  if ((n > m ? n - m : m - n) > bound) return bound + 1;
  std::vector<size_t> before(m + 1), last(m + 1), row(m + 1);
  for (size_t j = 0; j <= m; ++j) last[j] = j;
  for (size_t i = 1; i <= n; ++i) {
    row[0] = i;
    size_t best = row[0];
    for (size_t j = 1; j <= m; ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) row[j] = std::min(row[j], before[j - 2] + 1);
      best = std::min(best, row[j]);
    }
    if (best > bound) return bound + 1;
    before.swap(last);
    last.swap(row);
  }
  return last[m];
}

}  // namespace

std::string ClosestName(std::string_view wrong, const std::vector<std::string>& candidates) {
  const std::u16string key = UpperCase(FromUtf8(std::string(wrong)));
  if (key.empty()) return {};
  const size_t bound = std::max<size_t>(1, key.size() / 3);
  size_t best = std::numeric_limits<size_t>::max();
  std::string found;
  bool tie = false;
  for (const std::string& c : candidates) {
    const std::u16string name = UpperCase(FromUtf8(c));
    if (name == key) continue;
    const size_t d = Distance(key, name, std::min(bound, best));
    if (d > bound) continue;
    if (d < best) {
      best = d;
      found = c;
      tie = false;
    } else if (d == best && UpperCase(FromUtf8(found)) != name) {
      tie = true;
    }
  }
  return tie ? std::string() : found;
}

std::string DidYouMean(std::string_view wrong, const std::vector<std::string>& candidates) {
  const std::string near = ClosestName(wrong, candidates);
  return near.empty() ? std::string() : "; did you mean \"" + near + "\"?";
}

}  // namespace mokuren::toolkit
