// CString: a growable, null-terminated char string with the members and the
// index clamping the monitor's code relies on.
//
// Text is ANSI (char); there is no wide variant. Case changes and case-blind
// comparisons are ASCII only, so results do not depend on the process locale
// and are the same in the Windows and the native build.
//
// Passing a CString to a printf-style function (Format included) needs an
// explicit (LPCTSTR) cast or GetString(): the object itself is not a pointer.
#pragma once

#include <stdarg.h>

#include <string>
#include <type_traits>

#include "framework/WinTypes.h"

#if defined(__MINGW32__)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define AFX_PRINTF_FORMAT(fmt, args)
#endif

class CString {
public:
  CString() {}
  CString(const CString& src) = default;
  CString(CString&& src) noexcept = default;
  CString(const char* psz);                 // nullptr gives an empty string
  CString(const char* pch, int nLength);    // nLength chars, may hold '\0'
  explicit CString(char ch, int nRepeat = 1);
  CString(const unsigned char* psz);

  CString& operator=(const CString& src) = default;
  CString& operator=(CString&& src) noexcept = default;
  CString& operator=(const char* psz);
  CString& operator=(char ch);

  // Length and access. An index outside the string reads as '\0' and SetAt
  // ignores it, rather than touching memory it does not own.
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  char GetAt(int nIndex) const;
  // Any integer type indexes exactly, so no index type can make the call
  // ambiguous with subscripting the LPCTSTR conversion.
  template <class I, typename std::enable_if<std::is_integral<I>::value, int>::type = 0>
  char operator[](I nIndex) const {
    long long v = static_cast<long long>(nIndex);
    if (v < 0 || static_cast<unsigned long long>(v) >= m_str.size()) return '\0';
    return m_str[static_cast<size_t>(v)];
  }
  void SetAt(int nIndex, char ch);
  operator LPCTSTR() const { return m_str.c_str(); }
  LPCTSTR GetString() const { return m_str.c_str(); }

  // Concatenation.
  CString& operator+=(const CString& str);
  CString& operator+=(const char* psz);
  CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Comparison, as strcmp: <0, 0 or >0. CompareNoCase folds ASCII letters to
  // lower case first, so '_' sorts before letters in both.
  int Compare(const char* psz) const;
  int CompareNoCase(const char* psz) const;

  // Substrings. Counts and positions are clamped to the string: a negative
  // first index counts as 0, a count past the end stops at the end, and a
  // first index past the end gives an empty string.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(const char* pszCharSet) const;
  CString SpanExcluding(const char* pszCharSet) const;

  // Searching: the zero-based index of the match, or -1. A start outside the
  // string finds nothing (an empty substring is found at any start up to the
  // length).
  int Find(char ch, int nStart = 0) const;
  int Find(const char* pszSub, int nStart = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* pszCharSet) const;

  // In-place edits. Insert clamps the index into [0, length]; Delete removes
  // what exists of the range. Both return the new length. Replace and Remove
  // return how many replacements or removals they made.
  CString& MakeUpper();
  CString& MakeLower();
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, const char* psz);
  int Delete(int nIndex, int nCount = 1);
  int Replace(char chOld, char chNew);
  int Replace(const char* pszOld, const char* pszNew);
  int Remove(char ch);

  // Trimming: whitespace (space, tab, CR, LF, VT, FF), one given char, or any
  // char of a set.
  CString& TrimLeft();
  CString& TrimLeft(char chTarget);
  CString& TrimLeft(const char* pszTargets);
  CString& TrimRight();
  CString& TrimRight(char chTarget);
  CString& TrimRight(const char* pszTargets);
  CString& Trim();
  CString& Trim(char chTarget);
  CString& Trim(const char* pszTargets);

  // printf-style formatting into this string; output of any length.
  void Format(const char* pszFormat, ...) AFX_PRINTF_FORMAT(2, 3);
  void FormatV(const char* pszFormat, va_list args);
  void AppendFormat(const char* pszFormat, ...) AFX_PRINTF_FORMAT(2, 3);

  // Direct buffer access. GetBuffer returns room for at least nMinBufLength
  // chars plus the terminator, keeping the current text. Write into it, then
  // call ReleaseBuffer(n) to set the length to n, or ReleaseBuffer() to take
  // the length up to the first '\0' written. Other members must not be used
  // between the two calls. GetBufferSetLength sets the length at once.
  char* GetBuffer(int nMinBufLength = 0);
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  void FreeExtra() { m_str.shrink_to_fit(); }

  // Replaces the text by string resource nID; false (text unchanged) when
  // there is no such string. The strings come from the program's resources
  // on Windows, or from the table a test installs with SetStringTable (which
  // is asked first in both builds).
  BOOL LoadString(UINT nID);
  typedef bool (*StringTableFn)(UINT nID, CString& rText);
  static void SetStringTable(StringTableFn pfnTable);

private:
  std::string m_str;
};

// Comparisons with a CString or a C string on either side.
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);
