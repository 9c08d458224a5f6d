// The engine's error list: every problem the game meets and goes on after (a picture that does not decode,
// a missing sound file, a fault of the script). Each line is also written to standard error. The debug
// window shows the list, whether or not it is up when the line comes.
#pragma once

#include <string>
#include <vector>

namespace mokuren {

class ErrorList {
 public:
  // Told after a line was added (the debug window's view then brings its list up to date).
  class Observer {
   public:
    virtual void ErrorListChanged() = 0;

   protected:
    ~Observer() = default;
  };

  void SetObserver(Observer* observer) { observer_ = observer; }
  void Add(const std::u16string& line);
  const std::vector<std::u16string>& Lines() const { return lines_; }
  size_t Size() const { return lines_.size(); }

 private:
  std::vector<std::u16string> lines_;
  Observer* observer_ = nullptr;
};

}  // namespace mokuren
