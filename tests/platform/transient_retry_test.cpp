// The one policy for transient file failures: bounded retries with growing pauses.
#include "platform/transient_retry.h"

#include <gtest/gtest.h>

namespace trelvo::platform {
namespace {

using std::chrono::milliseconds;

struct Attempts {
  int made = 0;
  milliseconds slept{0};
  Sleeper sleep() {
    return [this](milliseconds pause) { slept += pause; };
  }
};

TEST(TransientRetry, ATransientFailureIsTriedAgainUntilItPasses) {
  Attempts attempts;
  const int result = RetryTransient(
      [&] {
        if (++attempts.made < 4) throw FileBusy(32, "belegt");
        return 7;
      },
      attempts.sleep());
  EXPECT_EQ(result, 7);
  EXPECT_EQ(attempts.made, 4);
  EXPECT_EQ(attempts.slept, milliseconds(25 + 50 + 75));
}

TEST(TransientRetry, AFailureThatStaysIsThrownOnAfterTheBoundedAttempts) {
  Attempts attempts;
  EXPECT_THROW(RetryTransient(
                   [&] {
                     ++attempts.made;
                     throw FileError(5, "Zugriff verweigert", true);
                   },
                   attempts.sleep()),
               FileError);
  EXPECT_EQ(attempts.made, kTransientAttempts);
  EXPECT_EQ(attempts.slept, milliseconds(25 * (kTransientAttempts - 1) * kTransientAttempts / 2));
  EXPECT_LT(attempts.slept, milliseconds(2000));
}

TEST(TransientRetry, APermanentFailureIsNotTriedAgain) {
  Attempts attempts;
  EXPECT_THROW(RetryTransient(
                   [&] {
                     ++attempts.made;
                     throw FileError(3, "Pfad nicht gefunden");
                   },
                   attempts.sleep()),
               FileError);
  EXPECT_EQ(attempts.made, 1);
  EXPECT_EQ(attempts.slept, milliseconds(0));
}

}  // namespace
}  // namespace trelvo::platform
