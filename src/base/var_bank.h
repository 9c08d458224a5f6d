// A bank of script variables: ScenarioVars (saved with each game), SystemVars (kept across games) and
// WorkVars (for the run only).
#pragma once

#include <algorithm>
#include <cstdint>

namespace mokuren {

// A bank of 512 script variables numbered 1..512. Numbers outside that range read 0 and write nowhere,
// so a malformed script cannot reach memory beside the bank.
class VarBank {
 public:
  explicit VarBank(int16_t* first) : first_(first) {}
  static bool Valid(int n) { return n >= 1 && n <= 512; }
  int16_t Get(int n) const { return Valid(n) ? first_[n - 1] : 0; }
  void Set(int n, int16_t v) {
    if (Valid(n)) first_[n - 1] = v;
  }
  int16_t& operator[](int n) { return Valid(n) ? first_[n - 1] : scratch_; }
  void Clear() { std::fill(first_, first_ + 512, int16_t{0}); }

 private:
  int16_t* first_;
  int16_t scratch_ = 0;
};

}  // namespace mokuren
