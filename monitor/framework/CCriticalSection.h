// Locks in the class layer's shape: CCriticalSection and the scoped
// CSingleLock. Portable; a critical section is a recursive mutex, as on
// Windows, so a thread that holds it may lock it again.
#pragma once

#include <mutex>

#include "framework/CObject.h"

class CSyncObject : public CObject {
public:
  CSyncObject() {}
  CSyncObject(const CSyncObject&) = delete;
  CSyncObject& operator=(const CSyncObject&) = delete;
  virtual BOOL Lock(DWORD dwTimeout = INFINITE) = 0;
  virtual BOOL Unlock() = 0;
};

class CCriticalSection : public CSyncObject {
public:
  CCriticalSection() {}
  // The timeout is ignored: a critical section waits until it is free.
  BOOL Lock(DWORD /*dwTimeout*/ = INFINITE) override {
    m_mutex.lock();
    return TRUE;
  }
  BOOL Unlock() override {
    m_mutex.unlock();
    return TRUE;
  }

private:
  std::recursive_mutex m_mutex;
};

// Holds a sync object for its own lifetime: unlocks in the destructor when it
// still holds the lock.
class CSingleLock {
public:
  explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject) {
    if (bInitialLock) Lock();
  }
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  BOOL Lock(DWORD dwTimeout = INFINITE) {
    if (m_pObject == nullptr) return FALSE;
    if (m_bLocked) return TRUE;
    m_bLocked = m_pObject->Lock(dwTimeout) != FALSE;
    return m_bLocked ? TRUE : FALSE;
  }
  BOOL Unlock() {
    if (m_pObject == nullptr || !m_bLocked) return TRUE;
    m_bLocked = false;
    return m_pObject->Unlock();
  }
  BOOL IsLocked() const { return m_bLocked ? TRUE : FALSE; }

private:
  CSyncObject* m_pObject;
  bool m_bLocked = false;
};
