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

// Unlike the original, copying is left to each derived class: value types
// built on it (arrays, tokenizers) may copy, while classes that own a system
// resource (files, windows, locks) delete their copy operations.
class CObject {
public:
  virtual ~CObject() {}

protected:
  CObject() {}
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};
