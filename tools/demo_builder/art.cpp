// Placeholder pictures: plain colours and gradients in the sizes the engine expects.
#include "art.h"

#include "toolkit/png_writer.h"

namespace mokuren::demo {

using toolkit::GradientPng;
using toolkit::SolidPng;

DemoArt MakeDemoArt() {
  DemoArt art;
  art.graphics = {
      {"BG01.PNG", GradientPng(800, 600, 0x9CC8F0, 0xF0E8D8)},  // morning sky
      {"BG02.PNG", GradientPng(800, 600, 0x203050, 0x805060)},  // evening street
      {"CH01.PNG", SolidPng(300, 500, 0xE0, 0x90, 0xA0)},       // a character placeholder
  };
  // Message frame, system sheet, choice plates.
  art.sysgrp[1] = GradientPng(800, 184, 0x101828, 0x304058);
  art.sysgrp[51] = GradientPng(800, 600, 0x202830, 0x506070);
  art.sysgrp[52] = SolidPng(800, 40, 0x20, 0x30, 0x60);
  art.sysgrp[53] = SolidPng(800, 40, 0x40, 0x70, 0xC0);
  // On-screen buttons: state 4 (3-10) and states 0-3 (13-20, 23-30, 33-40, 43-50).
  for (int k = 3; k <= 10; ++k) art.sysgrp[k] = SolidPng(48, 24, 0x60, 0x60, 0x60);
  for (int s = 0; s < 4; ++s)
    for (int k = 3; k <= 10; ++k)
      art.sysgrp[10 * (s + 1) + k] = SolidPng(48, 24, static_cast<uint8_t>(0x50 + 0x30 * s), 0x70, 0x90);
  // Title background and sheet.
  art.sysgrp[61] = GradientPng(800, 600, 0x305080, 0xC0D0E0);
  art.sysgrp[63] = GradientPng(800, 600, 0x404040, 0xA0A0A0);
  return art;
}

}  // namespace mokuren::demo
