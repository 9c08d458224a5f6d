// The single-instance guard: one lock per game folder, and a second start that asks the running game to
// be shown.
#include <gtest/gtest.h>

#include "platform/instance_guard.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

TEST(InstanceGuard, EachGameRunsOnceBesideOthersAndASecondStartAsksTheFirstToBeShown) {
  TempDir runtime, gameA, gameB;
  InstanceGuard first(gameA.path(), runtime.path());
  ASSERT_TRUE(first.Acquire());
  InstanceGuard beside(gameB.path(), runtime.path());
  EXPECT_TRUE(beside.Acquire());
  EXPECT_FALSE(first.TakeRaiseRequest());

  InstanceGuard again(gameA.path() / ".", runtime.path());
  EXPECT_FALSE(again.Acquire());
  EXPECT_TRUE(first.TakeRaiseRequest());
  EXPECT_FALSE(first.TakeRaiseRequest());
}

}  // namespace
}  // namespace mokuren::testing
