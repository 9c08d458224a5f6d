// Small changed areas of the frame put straight onto the game's window on X11.
//
// Qt's X11 backing store shares its image with the X server, and before it paints an area it has put
// before it asks the server for a reply, so that the server is done reading it. A resting game changes
// one small area again and again (the waiting icon turns 18 times a second), so each turn cost a round
// trip: the game, its X event thread and the server each woke for it. This puts such an area from the
// frame itself, as an image in the request, with nothing to wait for. Larger areas, a frame drawn at
// another scale, and platforms other than X11 still go through Qt.
//
// Qt's own image of the window is then out of date in those areas, and when the window is exposed Qt
// shows that image again without painting: the areas put here are handed to Qt to paint at that moment.
#pragma once

#include <QObject>
#include <QRegion>
#include <cstdint>
#include <vector>

#include "base/geometry.h"

class QWidget;
struct xcb_connection_t;

namespace mokuren {

class TABitmap;

class X11AreaPainter final : public QObject {
 public:
  explicit X11AreaPainter(QWidget& window);
  X11AreaPainter(const X11AreaPainter&) = delete;
  X11AreaPainter& operator=(const X11AreaPainter&) = delete;
  ~X11AreaPainter();

  // Puts `area` of `frame` (frame coordinates) onto the window, where the frame is shown one to one with
  // its top left corner at (left, top) in device pixels. False when it cannot (see above): the caller
  // paints the area through Qt instead.
  bool Put(const TABitmap& frame, const Rect& area, int32_t left, int32_t top);

  // Qt paints `area` (the window's coordinates) of its image anew: that part is no longer out of date.
  void PaintedByQt(const QRect& area) { outOfDate_ -= area; }

  // Areas up to this many pixels are put here; a whole frame's worth is better shared through Qt.
  static constexpr int32_t kMaxPixels = 128 * 128;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Ready();

  QWidget& window_;
  xcb_connection_t* connection_ = nullptr;
  uint32_t gc_ = 0;
  bool checked_ = false;  // whether the window's depth and the server's image format were looked at
  bool usable_ = false;
  std::vector<uint8_t> rows_;
  QRegion outOfDate_;  // what Qt's image of the window lacks, in the window's coordinates
};

}  // namespace mokuren
