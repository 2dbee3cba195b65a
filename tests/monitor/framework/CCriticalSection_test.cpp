#include "framework/CCriticalSection.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(FrameworkLock, SingleLockScopesAndNests) {
  CCriticalSection cs;
  {
    CSingleLock outer(&cs, TRUE);
    EXPECT_TRUE(outer.IsLocked());
    // The owner may enter again, as with a Windows critical section.
    CSingleLock inner(&cs, TRUE);
    EXPECT_TRUE(inner.IsLocked());
    EXPECT_TRUE(inner.Unlock());
    EXPECT_FALSE(inner.IsLocked());
    EXPECT_TRUE(inner.Unlock());  // a second unlock does not unbalance the lock
  }
  // Both scopes released it: another thread can take it now.
  bool taken = false;
  std::thread t([&] {
    CSingleLock lock(&cs);
    taken = lock.Lock() != FALSE;
  });
  t.join();
  EXPECT_TRUE(taken);

  CSingleLock none(nullptr, TRUE);
  EXPECT_FALSE(none.IsLocked());
}

TEST(FrameworkLock, ExcludesOtherThreads) {
  CCriticalSection cs;
  long counter = 0;  // deliberately not atomic: the lock must protect it
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      for (int j = 0; j < 20000; ++j) {
        CSingleLock lock(&cs, TRUE);
        ++counter;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(80000, counter);
}

}  // namespace
