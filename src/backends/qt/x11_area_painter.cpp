#include "backends/qt/x11_area_painter.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <memory>

#include "graphics/ABitmap.h"

namespace mokuren {

X11AreaPainter::X11AreaPainter(QWidget& window) : window_(window) {
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) connection_ = x11->connection();
}

X11AreaPainter::~X11AreaPainter() {
  if (gc_ != 0) {
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
  }
}

// Once: the window must take 32-bit pixels of depth 24 in the frame's byte order (blue first), which is
// what the frame holds, its top byte ignored.
bool X11AreaPainter::Ready() {
  if (checked_) return usable_;
  if (!connection_ || !window_.isVisible()) return false;
  checked_ = true;
  const auto window = static_cast<uint32_t>(window_.winId());
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr), &std::free);
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  if (!geometry || geometry->depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool format = false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
    if (it.data->depth == 24) format = it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
  // The request holds the image: it must fit the largest request the server takes (in 4-byte units).
  const uint32_t largest = xcb_get_maximum_request_length(connection_);
  if (!format || largest < (kMaxPixels * 4 + 64) / 4) return false;
  gc_ = xcb_generate_id(connection_);
  xcb_create_gc(connection_, gc_, window, 0, nullptr);
  if (QWindow* handle = window_.windowHandle()) handle->installEventFilter(this);
  usable_ = true;
  return true;
}

bool X11AreaPainter::eventFilter(QObject* watched, QEvent* event) {
  // Before Qt shows its image of the exposed window, the areas it lacks are marked for painting.
  if (event->type() == QEvent::Expose && !outOfDate_.isEmpty()) {
    window_.update(outOfDate_);
    outOfDate_ = QRegion();
  }
  return QObject::eventFilter(watched, event);
}

bool X11AreaPainter::Put(const TABitmap& frame, const Rect& area, int32_t left, int32_t top) {
  const int32_t x0 = std::max(area.x, 0), y0 = std::max(area.y, 0);
  const int32_t x1 = std::min(area.x + area.width, frame.Width()), y1 = std::min(area.y + area.height, frame.Height());
  if (x1 <= x0 || y1 <= y0) return true;  // nothing of the frame to put
  const int32_t width = x1 - x0, height = y1 - y0;
  if (width * height > kMaxPixels || !frame.IsValid() || !Ready()) return false;
  const size_t row = static_cast<size_t>(width) * 4;
  rows_.resize(row * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(rows_.data() + row * static_cast<size_t>(y), frame.ScanLine(y0 + y) + x0 * 4, row);
  // The native window is asked for each time: the window may have been made anew.
  xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, static_cast<uint32_t>(window_.winId()), gc_,
                static_cast<uint16_t>(width), static_cast<uint16_t>(height), static_cast<int16_t>(left + x0),
                static_cast<int16_t>(top + y0), 0, 24, static_cast<uint32_t>(rows_.size()), rows_.data());
  xcb_flush(connection_);
  outOfDate_ += QRect(left + x0, top + y0, width, height);
  return true;
}

}  // namespace mokuren
