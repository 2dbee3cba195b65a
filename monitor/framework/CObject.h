// The root of the class layer, as the monitor's classes expect to derive from it.
#pragma once

#include <assert.h>

#include "framework/WinTypes.h"

// Debug checks in the shape the monitor's code is written in. VERIFY keeps
// its expression in release builds because the expression does the work.
#ifndef ASSERT
#define ASSERT(f) assert(f)
#endif
#ifndef VERIFY
#ifdef NDEBUG
#define VERIFY(f) ((void)(f))
#else
#define VERIFY(f) assert(f)
#endif
#endif

class CObject;

// Run-time class information: a name and the base class, enough for
// IsKindOf checks on window objects found by handle.
struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  const CRuntimeClass* m_pBaseClass;
  bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
      if (p == pBaseClass) return true;
    return false;
  }
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

// In the class: DECLARE_DYNAMIC(CMyWnd); in its .cpp:
// IMPLEMENT_DYNAMIC(CMyWnd, CWnd).
#define DECLARE_DYNAMIC(class_name)                         \
 public:                                                    \
  static const CRuntimeClass* GetThisClass();               \
  const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                    \
  const CRuntimeClass* class_name::GetThisClass() {                                       \
    static const CRuntimeClass rc = {#class_name, static_cast<int>(sizeof(class_name)),   \
                                     base_class_name::GetThisClass()};                    \
    return &rc;                                                                           \
  }                                                                                       \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return GetThisClass(); }

// Unlike the original, copying is left to each derived class: value types
// built on it (arrays, tokenizers) may copy, while classes that own a system
// resource (files, windows, locks) delete their copy operations.
class CObject {
public:
  virtual ~CObject() {}

  static const CRuntimeClass* GetThisClass() {
    static const CRuntimeClass rc = {"CObject", static_cast<int>(sizeof(CObject)), nullptr};
    return &rc;
  }
  virtual const CRuntimeClass* GetRuntimeClass() const { return GetThisClass(); }
  bool IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

protected:
  CObject() {}
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};
