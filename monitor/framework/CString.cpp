#include "framework/CString.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>

namespace {

char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }
char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

// The C locale's white space; fixed here so trimming does not depend on the
// process locale.
bool IsTrimSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

const char* NonNull(const char* psz) { return psz ? psz : ""; }

// Formats into a new std::string so arguments may point into the target.
bool FormatInto(std::string& out, const char* pszFormat, va_list args) {
  if (pszFormat == nullptr) {
    out.clear();
    return true;
  }
  char local[512];
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(local, sizeof local, pszFormat, copy);
  va_end(copy);
  if (n < 0) return false;
  if (static_cast<size_t>(n) < sizeof local) {
    out.assign(local, static_cast<size_t>(n));
    return true;
  }
  std::string big(static_cast<size_t>(n), '\0');
  va_copy(copy, args);
  int m = vsnprintf(&big[0], big.size() + 1, pszFormat, copy);
  va_end(copy);
  if (m < 0) return false;
  big.resize(std::min(static_cast<size_t>(m), big.size()));
  out.swap(big);
  return true;
}

}  // namespace

CString::CString(const char* psz) : m_str(NonNull(psz)) {}

CString::CString(const char* pch, int nLength) {
  if (pch != nullptr && nLength > 0) m_str.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(char ch, int nRepeat) {
  if (nRepeat > 0) m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString::CString(const unsigned char* psz) : CString(reinterpret_cast<const char*>(psz)) {}

CString& CString::operator=(const char* psz) {
  // psz may point into this string; assign copes with that.
  m_str.assign(NonNull(psz));
  return *this;
}

CString& CString::operator=(char ch) {
  m_str.assign(1, ch);
  return *this;
}

char CString::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetLength()) return '\0';
  return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
  if (nIndex < 0 || nIndex >= GetLength()) return;
  m_str[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& str) {
  m_str += str.m_str;
  return *this;
}

CString& CString::operator+=(const char* psz) {
  m_str.append(NonNull(psz));
  return *this;
}

CString& CString::operator+=(char ch) {
  m_str.push_back(ch);
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

int CString::Compare(const char* psz) const { return strcmp(m_str.c_str(), NonNull(psz)); }

int CString::CompareNoCase(const char* psz) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(m_str.c_str());
  const unsigned char* b = reinterpret_cast<const unsigned char*>(NonNull(psz));
  for (;; ++a, ++b) {
    int ca = static_cast<unsigned char>(AsciiLower(static_cast<char>(*a)));
    int cb = static_cast<unsigned char>(AsciiLower(static_cast<char>(*b)));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  int nLength = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0) nCount = 0;
  if (nFirst >= nLength) return CString();
  if (nCount > nLength - nFirst) nCount = nLength - nFirst;
  return CString(m_str.data() + nFirst, nCount);
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  int nLength = GetLength();
  if (nCount < 0) nCount = 0;
  if (nCount > nLength) nCount = nLength;
  return CString(m_str.data() + (nLength - nCount), nCount);
}

CString CString::SpanIncluding(const char* pszCharSet) const {
  return Left(static_cast<int>(strspn(m_str.c_str(), NonNull(pszCharSet))));
}

CString CString::SpanExcluding(const char* pszCharSet) const {
  return Left(static_cast<int>(strcspn(m_str.c_str(), NonNull(pszCharSet))));
}

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub, int nStart) const {
  if (pszSub == nullptr || nStart < 0 || nStart > GetLength()) return -1;
  size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  size_t pos = m_str.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* pszCharSet) const {
  if (pszCharSet == nullptr || *pszCharSet == '\0') return -1;
  size_t pos = m_str.find_first_of(pszCharSet);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
  for (char& ch : m_str) ch = AsciiUpper(ch);
  return *this;
}

CString& CString::MakeLower() {
  for (char& ch : m_str) ch = AsciiLower(ch);
  return *this;
}

int CString::Insert(int nIndex, char ch) {
  nIndex = std::max(0, std::min(nIndex, GetLength()));
  m_str.insert(static_cast<size_t>(nIndex), 1, ch);
  return GetLength();
}

int CString::Insert(int nIndex, const char* psz) {
  nIndex = std::max(0, std::min(nIndex, GetLength()));
  if (psz != nullptr) {
    std::string copy(psz);  // psz may point into this string
    m_str.insert(static_cast<size_t>(nIndex), copy);
  }
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  if (nIndex < 0) nIndex = 0;
  int nLength = GetLength();
  if (nCount > 0 && nIndex < nLength) {
    if (nCount > nLength - nIndex) nCount = nLength - nIndex;
    m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
  }
  return GetLength();
}

int CString::Replace(char chOld, char chNew) {
  if (chOld == chNew) return 0;
  int n = 0;
  for (char& ch : m_str) {
    if (ch == chOld) {
      ch = chNew;
      ++n;
    }
  }
  return n;
}

int CString::Replace(const char* pszOld, const char* pszNew) {
  if (pszOld == nullptr || *pszOld == '\0') return 0;
  const std::string from(pszOld);
  const std::string to(NonNull(pszNew));
  std::string out;
  int n = 0;
  size_t pos = 0;
  for (;;) {
    size_t hit = m_str.find(from, pos);
    if (hit == std::string::npos) break;
    out.append(m_str, pos, hit - pos);
    out += to;
    pos = hit + from.size();
    ++n;
  }
  if (n > 0) {
    out.append(m_str, pos, std::string::npos);
    m_str.swap(out);
  }
  return n;
}

int CString::Remove(char ch) {
  size_t before = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
  return static_cast<int>(before - m_str.size());
}

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < m_str.size() && IsTrimSpace(m_str[i])) ++i;
  m_str.erase(0, i);
  return *this;
}

CString& CString::TrimLeft(char chTarget) {
  size_t i = 0;
  while (i < m_str.size() && m_str[i] == chTarget) ++i;
  m_str.erase(0, i);
  return *this;
}

CString& CString::TrimLeft(const char* pszTargets) {
  if (pszTargets == nullptr || *pszTargets == '\0') return *this;
  size_t i = 0;
  while (i < m_str.size() && m_str[i] != '\0' && strchr(pszTargets, m_str[i]) != nullptr) ++i;
  m_str.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  size_t n = m_str.size();
  while (n > 0 && IsTrimSpace(m_str[n - 1])) --n;
  m_str.resize(n);
  return *this;
}

CString& CString::TrimRight(char chTarget) {
  size_t n = m_str.size();
  while (n > 0 && m_str[n - 1] == chTarget) --n;
  m_str.resize(n);
  return *this;
}

CString& CString::TrimRight(const char* pszTargets) {
  if (pszTargets == nullptr || *pszTargets == '\0') return *this;
  size_t n = m_str.size();
  while (n > 0 && m_str[n - 1] != '\0' && strchr(pszTargets, m_str[n - 1]) != nullptr) --n;
  m_str.resize(n);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(const char* pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

void CString::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
  std::string out;
  if (!FormatInto(out, pszFormat, args)) out.clear();  // a bad format leaves nothing half-made
  m_str.swap(out);
}

void CString::AppendFormat(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  std::string out;
  if (FormatInto(out, pszFormat, args)) m_str += out;
  va_end(args);
}

char* CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize(static_cast<size_t>(nMinBufLength), '\0');
  return &m_str[0];
}

char* CString::GetBufferSetLength(int nNewLength) {
  m_str.resize(static_cast<size_t>(std::max(0, nNewLength)), '\0');
  return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
  size_t n;
  if (nNewLength < 0) {
    n = strnlen(m_str.c_str(), m_str.size());
  } else {
    n = std::min(static_cast<size_t>(nNewLength), m_str.size());
  }
  m_str.resize(n);
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

namespace {
std::atomic<CString::StringTableFn> g_stringTable{nullptr};
}  // namespace

void CString::SetStringTable(StringTableFn pfnTable) { g_stringTable.store(pfnTable); }

BOOL CString::LoadString(UINT nID) {
  StringTableFn table = g_stringTable.load();
  if (table != nullptr) {
    CString text;
    if (table(nID, text)) {
      *this = text;
      return TRUE;
    }
  }
#ifdef _WIN32
  // A string resource holds at most 65535 chars; grow until it fits.
  for (int size = 256; size <= 65536; size *= 4) {
    std::string buf(static_cast<size_t>(size), '\0');
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, &buf[0], size);
    if (n <= 0) return FALSE;
    if (n < size - 1) {
      m_str.assign(buf.data(), static_cast<size_t>(n));
      return TRUE;
    }
  }
#endif
  return FALSE;
}
