#include <windows.h>

#include <gtest/gtest.h>

#include "framework/CWinThread.h"

namespace {

struct ThreadProbe {
  int priority = 12345;
  HANDLE done = nullptr;
};

UINT RecordPriority(LPVOID pParam) {
  ThreadProbe* probe = static_cast<ThreadProbe*>(pParam);
  // The first thing the thread does: the priority must already be set.
  probe->priority = GetThreadPriority(GetCurrentThread());
  if (probe->done) SetEvent(probe->done);
  return 7;
}

TEST(FrameworkThread, PriorityIsSetBeforeTheThreadRuns) {
  const int priorities[] = {THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                            THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_LOWEST};
  for (int priority : priorities) {
    ThreadProbe probe;
    CWinThread* t = AfxBeginThread(RecordPriority, &probe, priority, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, t);
    EXPECT_TRUE(t->m_bAutoDelete);  // the default
    t->m_bAutoDelete = FALSE;       // so we may wait on it and read its result
    EXPECT_EQ(priority, t->GetThreadPriority());
    EXPECT_NE(0u, t->m_nThreadID);
    EXPECT_EQ(1u, t->ResumeThread());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t->m_hThread, INFINITE));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(*t, &code));
    EXPECT_EQ(7u, code);
    EXPECT_EQ(priority, probe.priority);
    delete t;
  }
}

TEST(FrameworkThread, AutoDeleteThreadRunsAndCleansUp) {
  ThreadProbe probe;
  probe.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(nullptr, probe.done);
  // Started at once; the object deletes itself, so it is not touched here.
  ASSERT_NE(nullptr, AfxBeginThread(RecordPriority, &probe, THREAD_PRIORITY_ABOVE_NORMAL));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(probe.done, INFINITE));
  EXPECT_EQ(THREAD_PRIORITY_ABOVE_NORMAL, probe.priority);
  CloseHandle(probe.done);

  EXPECT_EQ(nullptr, AfxBeginThread(nullptr, nullptr));
}

TEST(FrameworkThread, SetThreadPriorityOnARunningThread) {
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CWinThread* t = AfxBeginThread(
      [](LPVOID p) -> UINT { return WaitForSingleObject(static_cast<HANDLE>(p), INFINITE); }, go,
      THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(nullptr, t);
  t->m_bAutoDelete = FALSE;
  t->ResumeThread();
  EXPECT_TRUE(t->SetThreadPriority(THREAD_PRIORITY_BELOW_NORMAL));
  EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, t->GetThreadPriority());
  SetEvent(go);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t->m_hThread, INFINITE));
  delete t;
  CloseHandle(go);
}

}  // namespace
