// The file formats under SAVE.DAT and the thumbnails: the day-count date, 32-bit bitmaps, and the
// atomic replacement of a file.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/atomic_file.h"
#include "save/bmp_file.h"
#include "save/save_date.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

std::span<const uint8_t> Bytes(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

TEST(SaveDate, CountsDaysFrom30December1899WithTheTimeAsFraction) {
  EXPECT_EQ(SaveDateFromCivil({1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_EQ(SaveDateFromCivil({1900, 1, 1, 0, 0, 0, 0}), 2.0);
  EXPECT_EQ(SaveDateFromCivil({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
  EXPECT_EQ(SaveDateFromCivil({2026, 12, 7, 18, 0, 0, 0}), 46363.75);
  // Before day 0 the fraction still counts forwards from the day's start.
  EXPECT_EQ(SaveDateFromCivil({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_EQ(CivilFromSaveDate(-1.25), (CivilTime{1899, 12, 29, 6, 0, 0, 0}));
}

TEST(SaveDate, RoundTripsToTheMillisecondAndRefusesNonsense) {
  const CivilTime samples[] = {{2024, 2, 29, 23, 59, 59, 999}, {1999, 12, 31, 0, 0, 0, 1}, {2100, 3, 1, 7, 8, 9, 10}};
  for (const CivilTime& t : samples) EXPECT_EQ(CivilFromSaveDate(SaveDateFromCivil(t)), t);
  const CivilTime zero{};
  EXPECT_EQ(CivilFromSaveDate(std::numeric_limits<double>::quiet_NaN()), zero);
  EXPECT_EQ(CivilFromSaveDate(std::numeric_limits<double>::infinity()), zero);
  EXPECT_EQ(CivilFromSaveDate(1e300), zero);
  EXPECT_EQ(CivilFromSaveDate(-1e9), zero);
  const double now = SaveDateNow();
  EXPECT_GT(now, 45000.0);  // after 2023
  EXPECT_GE(CivilFromSaveDate(now).year, 2023);
}

TEST(Bitmap, WritesA40ByteHeaderBottomUpAndReadsItBack) {
  TABitmap image(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = image.ScanLine(y) + 4 * x;
      p[0] = static_cast<uint8_t>(10 * x + y);
      p[1] = 100;
      p[2] = 200;
      p[3] = static_cast<uint8_t>(y == 1 ? 255 : 0);
    }
  const std::vector<uint8_t> file = EncodeBmp32(image);
  ASSERT_EQ(file.size(), 14u + 40u + 3u * 2u * 4u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[14], 40);                    // information header size
  EXPECT_EQ(file[28], 32);                    // bits per pixel
  EXPECT_EQ(file[54], image.ScanLine(1)[0]);  // the bottom row comes first
  TABitmap back;
  std::string error;
  ASSERT_TRUE(DecodeBmp32(Bytes(file), back, error)) << error;
  EXPECT_EQ(back, image);
}

TEST(Bitmap, RefusesMalformedFilesWithoutTouchingTheImage) {
  const std::vector<uint8_t> good = EncodeBmp32(TABitmap(4, 4));
  auto with = [&](size_t at, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> f = good;
    std::copy(bytes.begin(), bytes.end(), f.begin() + at);
    return f;
  };
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      {good.begin(), good.begin() + 53},   // headers cut
      {good.begin(), good.end() - 1},      // pixels cut
      with(0, {'P', 'K'}),                 // not a bitmap
      with(28, {24, 0}),                   // 24 bits per pixel
      with(30, {1, 0, 0, 0}),              // run-length compressed
      with(18, {0, 0, 0, 0}),              // width 0
      with(18, {0xff, 0xff, 0xff, 0x7f}),  // enormous width
      with(22, {0, 0, 0, 0x80}),           // height -2^31
      with(10, {0xf0, 0xff, 0xff, 0xff}),  // pixels beyond the end
      with(14, {0xff, 0xff, 0, 0}),        // header longer than the file
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    TABitmap image(1, 1);
    std::string error;
    EXPECT_FALSE(DecodeBmp32(Bytes(bad[i]), image, error)) << "case " << i;
    EXPECT_FALSE(error.empty()) << "case " << i;
    EXPECT_EQ(image.Width(), 1) << "case " << i;
  }
  // Top-down rows (negative height) are read the right way up.
  TABitmap image(2, 2);
  image.ScanLine(0)[0] = 7;
  std::vector<uint8_t> topDown = EncodeBmp32(image);
  topDown[22] = 0xfe, topDown[23] = topDown[24] = topDown[25] = 0xff;  // height -2
  TABitmap back;
  std::string error;
  ASSERT_TRUE(DecodeBmp32(Bytes(topDown), back, error));
  EXPECT_EQ(back.ScanLine(1)[0], 7);
}

TEST(Bitmap, ThumbnailOpensAs128x96InAnOutsideReader) {
  TempDir dir;
  const auto path = dir.path() / "SAVE1.dat";
  const auto file = EncodeBmp32(TABitmap(128, 96));
  WriteFile(path, std::string(file.begin(), file.end()));
  // python3 without extra modules, reading the headers as any bitmap reader would.
  const std::string script =
      "import struct,sys\n"
      "d=open(sys.argv[1],'rb').read()\n"
      "assert d[:2]==b'BM' and struct.unpack('<I',d[2:6])[0]==len(d)\n"
      "off,hs,w,h,planes,bpp,comp=struct.unpack('<IIiiHHI',d[10:34])\n"
      "assert hs==40 and planes==1 and comp==0 and off+w*abs(h)*bpp//8<=len(d)\n"
      "print(w,h,bpp)\n";
  WriteFile(dir.path() / "read.py", script);
  const std::string out = (dir.path() / "out.txt").string();
  const std::string cmd = "cd '" + dir.path().string() + "' && python3 '" + (dir.path() / "read.py").string() + "' '" +
                          path.string() + "' >'" + out + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadFile(out), "128 96 32\n");
}

TEST(AtomicFile, ReplacesWholeOrNotAtAll) {
  TempDir dir;
  const auto target = dir.path() / "data.bin";
  const std::vector<uint8_t> first(1000, 1), second(2000, 2);
  ASSERT_EQ(WriteFileAtomically(target, first), "");
  EXPECT_EQ(ReadFile(target), std::string(1000, '\1'));
  // While the hook runs the new bytes are complete in the pending file and the target is still old.
  std::string seenPending, seenTarget;
  ASSERT_EQ(WriteFileAtomically(target, second,
                                [&] {
                                  seenPending = ReadFile(PendingFileName(target));
                                  seenTarget = ReadFile(target);
                                }),
            "");
  EXPECT_EQ(seenPending, std::string(2000, '\2'));
  EXPECT_EQ(seenTarget, std::string(1000, '\1'));
  EXPECT_EQ(ReadFile(target), std::string(2000, '\2'));
  EXPECT_FALSE(std::filesystem::exists(PendingFileName(target)));
  // A target in a folder that does not exist: a reason, and nothing left behind.
  const std::string error = WriteFileAtomically(dir.path() / "missing" / "x.bin", first);
  EXPECT_NE(error.find("temporary"), std::string::npos);
}

}  // namespace
}  // namespace mokuren::testing
