// What the hero's name dialog may change in the engine.
#pragma once

#include <string>

namespace mokuren {

class NameFormHost {
 public:
  // The dialog accepted `name`: it becomes the hero's name, kept in the save block, and name entry ends.
  virtual void AcceptHeroName(const std::u16string& name) = 0;

 protected:
  ~NameFormHost() = default;
};

}  // namespace mokuren
