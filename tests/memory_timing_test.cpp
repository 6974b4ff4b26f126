// Memory blocks and the thread's sleep.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>

#include "platform/core/memory.h"
#include "platform/core/timing.h"

namespace {

bool AllZero(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(block);
  for (std::size_t k = 0; k < size; ++k)
    if (bytes[k] != 0) return false;
  return true;
}

TEST(MemAlloc, SizeZeroOrLessGivesNull) {
  EXPECT_EQ(MemAlloc(0), nullptr);
  EXPECT_EQ(MemAlloc(-1), nullptr);
  EXPECT_EQ(MemAlloc(INT32_MIN), nullptr);
}

TEST(MemAlloc, BlockIsZeroFilled) {
  void* block = MemAlloc(10);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(AllZero(block, 10));
  MemRelease(block);
}

TEST(MemAlloc, ReusedMemoryIsZeroFilledAgain) {
  constexpr std::int32_t kSize = 508078;  // the largest image
  for (int round = 0; round < 3; ++round) {
    void* block = MemAlloc(kSize);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(AllZero(block, kSize)) << "round " << round;
    std::memset(block, 0xFF, kSize);
    MemRelease(block);
    void* small = MemAlloc(64);
    ASSERT_NE(small, nullptr);
    EXPECT_TRUE(AllZero(small, 64)) << "round " << round;
    std::memset(small, 0xEE, 64);
    MemRelease(small);
  }
}

TEST(MemRelease, NullIsIgnored) {
  MemRelease(nullptr);
}

TEST(SleepMs, SuspendsForAtLeastTheGivenTime) {
  const auto before = std::chrono::steady_clock::now();
  const std::uint32_t tickBefore = TickCountMs();
  SleepMs(40);
  const auto slept = std::chrono::steady_clock::now() - before;
  const std::uint32_t ticks = TickCountMs() - tickBefore;
  EXPECT_GE(slept, std::chrono::milliseconds(40));
  // The tick count moves in milliseconds along with the clock.
  EXPECT_GE(ticks, 39u);
  EXPECT_LE(ticks, 10000u);
}

TEST(SleepMs, ZeroOrLessReturnsAtOnce) {
  const auto before = std::chrono::steady_clock::now();
  SleepMs(0);
  SleepMs(-1000);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

}  // namespace
