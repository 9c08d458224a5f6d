// The popup menu's items as the backends show them; a translation gives the backend its own (they are
// engine texts, engine_texts.h).
#pragma once

#include <span>
#include <string_view>

#include "platform/platform.h"

namespace mokuren {

struct MenuCaption {
  MenuItem item;
  std::u16string_view caption;
};
std::span<const MenuCaption> MenuCaptions();

}  // namespace mokuren
