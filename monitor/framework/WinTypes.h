// The Windows scalar types, for code that builds both for Windows and natively.
//
// The Windows build takes them from <windows.h> itself, so a value declared
// here is exactly what the Win32 calls expect. The native build gets
// same-sized stand-ins, so the portable logic (strings, collections, files,
// frame handling) compiles and is tested on the host without any Windows
// header. Sizes follow the 32-bit Windows ABI where it matters for data:
// DWORD and LONG are 32 bits on both sides (a native `long` is 64 bits, so it
// is never used for them). Never hand a DWORD or LONG to printf without a cast.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX  // std::min/std::max stay usable in the portable code
#endif
#include <windows.h>

#else  // native build

#include <stddef.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int BOOL;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int INT;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef float FLOAT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;

typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef BYTE* PBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;

typedef void* HANDLE;
struct HWND__;
typedef HWND__* HWND;  // opaque: the native build never dereferences a window

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef _T
#define _T(x) x
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif
#ifndef INFINITE
#define INFINITE 0xFFFFFFFFu
#endif
#define WINAPI
#define CALLBACK

#define MAKEWORD(lo, hi) ((WORD)(((BYTE)((lo) & 0xff)) | ((WORD)((BYTE)((hi) & 0xff))) << 8))
#define MAKELONG(lo, hi) ((LONG)(((WORD)((lo) & 0xffff)) | ((DWORD)((WORD)((hi) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)(((DWORD)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD)(w)) >> 8) & 0xff))

// Message numbers and thread priorities that portable code hands to a seam
// (an event notifier, a thread starter) and tests record.
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define WM_APP 0x8000

// Geometry and colour records, laid out as the Windows ones so portable
// layout arithmetic (framework/CRect.h) is the same in both builds.
typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;
typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *LPPOINT;
typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *LPSIZE;
typedef DWORD COLORREF;
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

#endif  // _WIN32
