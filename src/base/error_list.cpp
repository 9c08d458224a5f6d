#include "base/error_list.h"

#include <iostream>

#include "base/text_codec.h"

namespace mokuren {

void ErrorList::Add(const std::u16string& line) {
  lines_.push_back(line);
  std::cerr << "mokuren: " << ToUtf8(line) << '\n';
  if (observer_) observer_->ErrorListChanged();
}

}  // namespace mokuren
