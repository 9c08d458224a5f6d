// Screenshots for automation: the composed frame or the floating window's picture as a PNG file.
#include "app/TForm1.h"
#include "graphics/png_writer.h"
#include "base/text_codec.h"

namespace mokuren {

bool TForm1::SaveScreenshot(const std::string& file, bool floatWindow) {
  std::string error;
  if (WritePngFile(AutomationFile(file), floatWindow ? FloatSurface : FrameSurface, PngAlpha::None, error)) return true;
  ReportError(FromUtf8("screenshot " + file + ": " + error));
  return false;
}

}  // namespace mokuren
