// The scene, the cross-fades that bring it on screen, and the message-window frame of the frame step.
#include "base/task_codes.h"
#include "graphics/ABitmapFilters32.h"
#include "graphics/graphics.h"
#include "platform/platform.h"

namespace mokuren {

void Graphics::Kumo_CreateNextImage() {
  // Black first.
  NextSurface.Make32();
  NextSurface.FillRGB(0, 0, 0);
  // The background, at its own size: a smaller one leaves black borders, a larger one is cut.
  CopyOpaque(SurfaceTable[0], NextSurface, 0, 0);
  // The character layers, layer 1 last, so it is in front.
  for (int n = 5; n >= 1; --n) {
    if (LayerImage[n - 1] == 0) continue;
    const TABitmap& layer = SurfaceTable[static_cast<size_t>(n)];
    DrawAlphaSkip(layer, NextSurface, LayerPos[n - 1].X, LayerPos[n - 1].Y, layer.Width(), layer.Height(), 0, 0,
                  LayerOpacity[n - 1]);
  }
}

void Graphics::StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode) {
  Kumo_CreateNextImage();
  // With the screen effects switched off in the settings, every new scene appears at once.
  if (!EffectsOn) durationMs = 0;
  TransitionStart = platform_.TickCount();
  TransitionDuration = durationMs;
  TransitionEnd = static_cast<int32_t>(TransitionStart + static_cast<uint32_t>(durationMs));
  if (taskCode == task::Effect91) ResumeTaskCode = resumeTaskCode;
  host_.SetTaskCode(taskCode);
}

// The blend works on the already blended picture of the previous step, so the new scene arrives faster
// than a straight cross-fade would bring it; stored look, kept on purpose.
bool Graphics::CrossFadeStep(uint32_t now) {
  // The tick is unsigned and the end signed, compared in 64 bits: a clock past 2^31 ms ends at once.
  if (static_cast<int64_t>(now) < static_cast<int64_t>(TransitionEnd)) {
    int64_t a = static_cast<int64_t>(static_cast<uint32_t>(now - TransitionStart)) * 255;
    if (TransitionDuration > 0) a /= TransitionDuration;
    BlendConst(NextSurface, DisplaySurface, 0, 0, kFrameWidth, kFrameHeight, 0, 0, static_cast<int32_t>(a & 0xFFFF));
    return false;
  }
  CopyOpaque(NextSurface, DisplaySurface, 0, 0);
  return true;
}

void Graphics::Kumo_DispEffect_01() {
  // Fast-forward shows the new scene at once.
  if (host_.Modes().FastForward) {
    CopyOpaque(NextSurface, DisplaySurface, 0, 0);
    host_.SetTaskCode(task::Script);
    return;
  }
  // Otherwise one cross-fade step; the script goes on when the fade has ended.
  if (CrossFadeStep(platform_.TickCount())) host_.SetTaskCode(task::Script);
}

void Graphics::Kumo_DispEffect_91() {
  // Menu and restore fades are never skipped.
  if (CrossFadeStep(platform_.TickCount())) host_.SetTaskCode(ResumeTaskCode);
}

void Graphics::DrawMessageFrame() {
  DrawAlpha(SurfaceTable[6], FrameSurface, 0, kMessageWindowTop, kFrameWidth, kMessageWindowHeight, 0, 0, 255);
}

}  // namespace mokuren
