// The error list stays bounded however often the game reports, and a fault met every frame is shown once a
// second with the count of its repeats.
#include <gtest/gtest.h>

#include <string>

#include "base/error_list.h"
#include "base/text_codec.h"

namespace mokuren {
namespace {

TEST(ErrorList, KeepsItsNewestLinesAndCountsTheOthers) {
  ErrorList errors;
  testing::internal::CaptureStderr();
  for (int i = 0; i < 300000; ++i) errors.Add(u"picture " + FromUtf8(std::to_string(i)) + u" does not decode");
  testing::internal::GetCapturedStderr();
  EXPECT_LE(errors.Size(), ErrorList::kKeptLines + ErrorList::kKeptLines / 4);
  EXPECT_EQ(errors.Total(), 300000u);
  EXPECT_EQ(errors.Lines().back(), u"picture 299999 does not decode");
}

TEST(ErrorList, ALineRepeatedWithinASecondIsCountedNotShown) {
  uint32_t now = 0;
  ErrorList errors;
  errors.SetClock([&now] { return now; });
  testing::internal::CaptureStderr();
  for (; now < 2500; now += 10) errors.Add(u"Sound/M01.ogg cannot be read");
  errors.Add(u"another fault");
  const std::string shown = testing::internal::GetCapturedStderr();
  ASSERT_EQ(errors.Size(), 4u);  // at 0, 1000 and 2000 ms, then the other line
  EXPECT_EQ(errors.Lines()[0], u"Sound/M01.ogg cannot be read");
  EXPECT_EQ(errors.Lines()[1], u"Sound/M01.ogg cannot be read (99 more times in the last second)");
  EXPECT_EQ(errors.Lines()[3], u"another fault");
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 4);
}

}  // namespace
}  // namespace mokuren
