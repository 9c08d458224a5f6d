// The program's icon: a plum blossom of the title's branch on a disc of its night sky, drawn at any
// size for the desktop's icon theme.
#pragma once

#include <string>

namespace mokuren::demo {

// PNG bytes of the icon, size x size pixels, transparent outside the disc; `fullBleed`: the sky fills the
// whole square, for platforms that cut the icon to a shape of their own (a web app's "maskable" icon, whose
// blossom stays inside the middle four fifths that every shape keeps).
std::string IconPng(int size, bool fullBleed = false);

}  // namespace mokuren::demo
