// The program's icon: a plum blossom of the title's branch on a disc of its night sky, drawn at any
// size for the desktop's icon theme.
#pragma once

#include <string>

namespace mokuren::demo {

// PNG bytes of the icon, size x size pixels, transparent outside the disc.
std::string IconPng(int size);

}  // namespace mokuren::demo
