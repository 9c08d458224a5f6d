// Screenshots for automation: the composed frame or the floating window's picture as a PNG file.
#include "base/error_list.h"
#include "base/text_codec.h"
#include "graphics/graphics.h"
#include "graphics/png_writer.h"

namespace mokuren {

bool Graphics::SaveScreenshot(const std::string& file, bool floatWindow) {
  std::string error;
  if (WritePngFile(host_.AutomationFile(file), floatWindow ? FloatSurface : FrameSurface, PngAlpha::None, error))
    return true;
  errors_.Add(FromUtf8("screenshot " + file + ": " + error));
  return false;
}

}  // namespace mokuren
