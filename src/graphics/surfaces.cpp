// The pictures' surfaces and the surface table, image loading into them, and the standard system pictures.
#include <string>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "graphics/ABitmapFilters32.h"
#include "graphics/graphics.h"
#include "graphics/png_decoder.h"
#include "graphics/system_pictures.h"
#include "platform/game_files.h"

namespace mokuren {

namespace {

// Slot sizes at creation; slots loaded by Kumo_ReadGraphic take their image's size later.
struct SlotRange {
  int first, last;
  int32_t width, height;
};
constexpr SlotRange kSlotSizes[] = {
    {0, 5, kFrameWidth, kFrameHeight},            // background and character layers 1-5
    {6, 7, kFrameWidth, kMessageWindowHeight},    // message-window frame; floating window background
    {8, 57, 64, 20},                              // on-screen buttons, 10 buttons x 5 states
    {58, 59, kFrameWidth, kMessageWindowHeight},  // message text and its shadow
    {72, 91, kFrameWidth, 40},                    // choice plate, choice texts and shadows, highlighted plate
    {92, 92, kFrameWidth, kFrameHeight},          // the current sheet of system pictures
};
// Slots 60-71 are not used by any operation: they stay empty, which spares start-up 23 MB of zeroed
// memory.

enum class Placing { None, Opaque, WithMask, PictureBox };

struct Target {
  Placing how = Placing::None;
  int slot = -1;
};

Target TargetOf(int32_t placement) {
  if (placement == 0) return {Placing::Opaque, 0};
  if (placement >= 1 && placement <= 5) return {Placing::WithMask, placement};
  if (placement == 10) return {Placing::WithMask, 6};
  if (placement >= 11 && placement <= 50) return {Placing::WithMask, placement - 3};
  if (placement == 51) return {Placing::Opaque, 92};
  if (placement == 52) return {Placing::WithMask, 72};
  if (placement == 53) return {Placing::WithMask, 91};
  if (placement >= 101 && placement <= 110) return {Placing::WithMask, placement - 53};
  if (placement >= 201 && placement <= 203) return {Placing::PictureBox, -1};
  return {};
}

}  // namespace

Graphics::Graphics(GraphicsHost& host, Platform& platform, ErrorList& errors, SaveBlock& block)
    : BackgroundNo(block.Live.BackgroundNo),
      LayerImage(block.Live.LayerImage),
      LayerPos(block.Live.LayerPos),
      LayerOpacity(block.Live.LayerOpacity),
      CgSeenFlags(block.CgSeenFlags),
      EffectsOn(block.EffectsOn),
      host_(host),
      platform_(platform),
      errors_(errors) {}

void Graphics::CreateSurfaces() {
  // The named surfaces are made black at these sizes with the engine, and nothing draws before start-up:
  // clearing them again would only bring 7 MB of untouched pages in.
  for (TABitmap* s : {&NextSurface, &DisplaySurface, &FrameSurface})
    if (s->Width() != kFrameWidth || s->Height() != kFrameHeight) s->SetSize32(kFrameWidth, kFrameHeight);
  if (FloatSurface.Width() != kFrameWidth || FloatSurface.Height() != kMessageWindowHeight)
    FloatSurface.SetSize32(kFrameWidth, kMessageWindowHeight);
  for (const SlotRange& r : kSlotSizes)
    for (int slot = r.first; slot <= r.last; ++slot)
      SurfaceTable[static_cast<size_t>(slot)].SetSize32(r.width, r.height);
}

bool Graphics::ReadPicture(bool fromSystem, int32_t entry, PngImage& image) {
  if (std::optional<PngImage> ahead = fromSystem ? SystemPicturesAhead.Take(entry) : std::nullopt) {
    image = std::move(*ahead);
    return true;
  }
  // An empty or unreadable entry leaves every surface as it was. A scene's picture that is not there is
  // told (the system pictures missing at start-up are told together).
  std::vector<uint8_t> stream;
  if (const int read = host_.ReadArchiveEntry(fromSystem ? ArchiveKind::System : ArchiveKind::Graphic, entry, stream);
      read != 0) {
    if (read == -1 && !fromSystem)
      errors_.Add(error_text::kPictureEntryEmpty, {{u"file", FromUtf8(ArchiveFileName(ArchiveKind::Graphic))},
                                                   {u"entry", FromUtf8(std::to_string(entry))}});
    return false;
  }
  // A picture that does not decode is reported and leaves every surface as it was.
  std::string error;
  if (!DecodePng(stream, image, error)) {
    errors_.Add(error_text::kPictureUnusable,
                {{u"file", FromUtf8(ArchiveFileName(fromSystem ? ArchiveKind::System : ArchiveKind::Graphic))},
                 {u"entry", FromUtf8(std::to_string(entry))},
                 {u"error", FromUtf8(error)}});
    return false;
  }
  return true;
}

void Graphics::Replace(bool fromSystem, int32_t entry, const std::filesystem::path& file, PngImage& image) {
  const std::u16string shown = FromUtf8(replacements_.Shown(file));
  std::vector<uint8_t> bytes;
  std::string problem;
  PngImage replacement;
  if (ReadGameFile(file, kMaxPngFileBytes, bytes, problem) && DecodePng(bytes, replacement, problem)) {
    const TABitmap& was = image.pixels;
    const TABitmap& is = replacement.pixels;
    if (is.Width() == was.Width() && is.Height() == was.Height()) {
      // The original's transparency holds: a picture without any stays without, and a picture an image
      // editor saved flattened takes the original's, so the editor's text shows where the original's did.
      if (!image.hasTransparency) {
        replacement.hasTransparency = false;
      } else if (!replacement.hasTransparency) {
        const uint8_t* from = was.Bits();
        uint8_t* to = replacement.pixels.Bits();
        for (size_t i = 3; i < replacement.pixels.ByteSize(); i += 4) to[i] = from[i];
        replacement.hasTransparency = true;
      }
      image = std::move(replacement);
      return;
    }
    const auto size = [](const TABitmap& b) { return std::to_string(b.Width()) + "x" + std::to_string(b.Height()); };
    errors_.Add(error_text::kReplacementWrongSize,
                {{u"file", shown}, {u"size", FromUtf8(size(is))}, {u"expected", FromUtf8(size(was))}});
  } else {
    errors_.Add(error_text::kReplacementUnusable, {{u"file", shown}, {u"problem", FromUtf8(problem)}});
  }
  replacements_.Drop(fromSystem, entry);
}

bool Graphics::Kumo_ReadGraphic(int32_t placement, int32_t entry, bool fromSystem) {
  // Entry 0 means no picture.
  if (entry == 0) return true;
  // The event picture counts as seen even if it then fails to load.
  if (!fromSystem && entry >= kCgSeenFirst && entry < kCgSeenFirst + kCgSeenCount)
    CgSeenFlags[entry - kCgSeenFirst] = 1;
  PngImage image;
  if (!ReadPicture(fromSystem, entry, image)) return false;
  if (const std::filesystem::path* file = replacements_.For(fromSystem, entry))
    Replace(fromSystem, entry, std::filesystem::path(*file), image);
  const Target target = TargetOf(placement);
  if (target.how == Placing::None) return true;  // decoded and discarded

  // One pass over the decoded pixels, which then become the target surface: colour bytes stay;
  // byte 3 becomes the mask for masked placements (255 - alpha, or 255 everywhere when the file has no
  // transparency, so such a picture is wholly transparent) and opaque (0) for the opaque copies.
  TABitmap& pixels = image.pixels;
  uint8_t* p = pixels.Bits();
  const size_t bytes = pixels.ByteSize();
  if (target.how == Placing::WithMask) {
    if (image.hasTransparency) {
      for (size_t i = 3; i < bytes; i += 4) p[i] = static_cast<uint8_t>(255 - p[i]);
    } else {
      for (size_t i = 3; i < bytes; i += 4) p[i] = 255;
    }
  } else {
    for (size_t i = 3; i < bytes; i += 4) p[i] = 0;
  }
  if (target.how == Placing::PictureBox) {
    // The save/load window's picture boxes keep their size.
    TABitmap* box = host_.SaveScreenPictureBox(placement);
    if (box) CopyOpaque(pixels, *box, 0, 0);
    return true;
  }
  // Every slot placement takes the image's size, so the decoded surface simply becomes the slot.
  SurfaceTable[static_cast<size_t>(target.slot)] = std::move(pixels);
  return true;
}

std::vector<int32_t> Graphics::LoadSystemPictures(bool engineStart) {
  std::vector<int32_t> missing;
  const size_t count = engineStart ? kStartupSystemPictures.size() : kReloadedSystemPictureCount;
  for (size_t i = 0; i < count; ++i) {
    const SystemPicture& picture = kStartupSystemPictures[i];
    if (!Kumo_ReadGraphic(picture.placement, picture.entry, true)) missing.push_back(picture.entry);
    // The floating window's background is the sheet's message-window area.
    if (engineStart && picture.placement == 51)
      CopyOpaque(SurfaceTable[92], SurfaceTable[7], 0, 0, kFrameWidth, kMessageWindowHeight, 0, kMessageWindowTop);
  }
  return missing;
}

}  // namespace mokuren
