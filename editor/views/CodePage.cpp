#include "views/CodePage.h"

#include <cstring>
#include <memory>
#include <vector>

#include "core/EditorState.h"

namespace dw {
namespace {

// The Font View's font has no data set; its table lives here for the run.
struct FontTable {
  std::vector<int32_t> base, start, end;
  int32_t count = 0, defaultChar = 32;
  FontTable() : base(kCodePageEntries), start(kCodePageEntries), end(kCodePageEntries) {}
};

FontTable& Font() {
  static FontTable t;
  return t;
}

// A private copy of a table's ranges, on the heap (16385 entries each).
struct Copy {
  std::vector<int32_t> base, start, end;
  int32_t count;
  explicit Copy(const CodePageTable& t)
      : base(t.symbolBase, t.symbolBase + kCodePageEntries),
        start(t.startChar, t.startChar + kCodePageEntries),
        end(t.endChar, t.endChar + kCodePageEntries),
        count(*t.count) {}
  void RestoreInto(const CodePageTable& t) const {
    std::memcpy(t.symbolBase, base.data(), sizeof(int32_t) * kCodePageEntries);
    std::memcpy(t.startChar, start.data(), sizeof(int32_t) * kCodePageEntries);
    std::memcpy(t.endChar, end.data(), sizeof(int32_t) * kCodePageEntries);
    *t.count = count;
  }
};

int32_t ClampCount(int32_t n) {
  if (n < 0) return 0;
  return n > kMaxCodePageRanges ? kMaxCodePageRanges : n;
}

}  // namespace

CodePageTable CodePageSlot(int slot) {
  CodePageTable t;
  if (slot == kFontCodePageSlot) {
    FontTable& f = Font();
    t.symbolBase = f.base.data();
    t.startChar = f.start.data();
    t.endChar = f.end.data();
    t.count = &f.count;
    t.defaultChar = &f.defaultChar;
    return t;
  }
  if ((slot != 0 && slot != 1) || !g_ed) return t;
  DataSet& s = g_ed->set[slot];
  t.symbolBase = s.codePageBase;
  t.startChar = s.codePageStart;
  t.endChar = s.codePageEnd;
  t.count = &s.codePageRangeCount;
  t.defaultChar = &s.codePageDefaultChar;
  return t;
}

CodePageTable CurrentCodePage() { return CodePageSlot(g_ed ? (g_ed->currentDataSet & 1) : 0); }

uint32_t ParseNumber(const char* text) {
  if (!text) return 0;
  uint32_t value = 0, radix = 10;
  char previous = 0;
  for (int i = 0; i < 127 && text[i]; ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      value = value * radix + static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      value = value * radix + static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      value = value * radix + static_cast<uint32_t>(c - 'a' + 10);
    } else if ((c == 'x' || c == 'X') && previous == '0') {
      radix = 16;
    }
    previous = c;
  }
  return value;
}

int32_t InsertCodePageRange(int32_t n, int32_t* base, int32_t* start, int32_t* end) {
  const int32_t k = kCodePageScratch;
  if (n <= 1) {
    base[0] = base[k];
    start[0] = start[k];
    end[0] = end[k];
    return 0;
  }
  if (n > kMaxCodePageRanges) n = kMaxCodePageRanges;  // never past the scratch entry
  int32_t key = start[k];
  int32_t p = n - 1;
  for (int32_t i = 0; i <= n - 2; ++i) {
    if (start[i] > key) {
      p = i;
      break;
    }
  }
  for (int32_t i = n - 2; i >= p; --i) {
    base[i + 1] = base[i];
    start[i + 1] = start[i];
    end[i + 1] = end[i];
  }
  base[p] = base[k];
  start[p] = start[k];
  end[p] = end[k];
  return p;
}

int32_t SortCodePageRanges(int32_t count, int32_t* base, int32_t* start, int32_t* end) {
  count = ClampCount(count);
  std::vector<int32_t> tb(kCodePageEntries, 0), ts(kCodePageEntries, 0), te(kCodePageEntries, 0);
  for (int32_t i = 0; i < count; ++i) {
    tb[kCodePageScratch] = base[i];
    ts[kCodePageScratch] = start[i];
    te[kCodePageScratch] = end[i];
    InsertCodePageRange(i + 1, tb.data(), ts.data(), te.data());
  }
  std::memcpy(base, tb.data(), sizeof(int32_t) * kMaxCodePageRanges);
  std::memcpy(start, ts.data(), sizeof(int32_t) * kMaxCodePageRanges);
  std::memcpy(end, te.data(), sizeof(int32_t) * kMaxCodePageRanges);
  return count;
}

bool AddCodePageRange(const CodePageTable& t, int32_t start, int32_t end, int32_t base) {
  if (!t.Valid()) return false;
  int32_t n = ClampCount(*t.count);
  if (n >= kMaxCodePageRanges) return false;
  t.startChar[kCodePageScratch] = start;
  t.endChar[kCodePageScratch] = end;
  t.symbolBase[kCodePageScratch] = base;
  *t.count = n + 1;
  InsertCodePageRange(n + 1, t.symbolBase, t.startChar, t.endChar);
  return true;
}

void ClearCodePageRanges(const CodePageTable& t) {
  if (!t.Valid()) return;
  *t.count = 0;
  std::memset(t.symbolBase, 0, sizeof(int32_t) * kMaxCodePageRanges);
  std::memset(t.startChar, 0, sizeof(int32_t) * kMaxCodePageRanges);
  std::memset(t.endChar, 0, sizeof(int32_t) * kMaxCodePageRanges);
}

int32_t CharToElementIn(const CodePageTable& t, int32_t c) {
  if (!t.Valid()) return -1;
  int32_t result = -1;
  int32_t n = ClampCount(*t.count);
  for (int32_t i = 0; i < n; ++i) {
    if (t.startChar[i] <= c && c <= t.endChar[i]) {
      // 64-bit so a hand-edited table with extreme values cannot overflow.
      int64_t e = static_cast<int64_t>(t.symbolBase[i]) + c - t.startChar[i];
      result = (e < INT32_MIN || e > INT32_MAX) ? -1 : static_cast<int32_t>(e);
    }
  }
  return result;
}

int32_t ElementToCharIn(const CodePageTable& t, int32_t e) {
  if (!t.Valid()) return -1;
  int32_t n = ClampCount(*t.count);
  for (int32_t i = 0; i < n; ++i) {
    int64_t b = t.symbolBase[i];
    int64_t last = b + static_cast<int64_t>(t.endChar[i]) - t.startChar[i];
    if (b <= e && e <= last) {
      int64_t c = static_cast<int64_t>(t.startChar[i]) + e - b;
      return (c < INT32_MIN || c > INT32_MAX) ? -1 : static_cast<int32_t>(c);
    }
  }
  return -1;
}

namespace {
int32_t Sat(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}
}  // namespace

int32_t ShiftCodePageForInsertIn(const CodePageTable& t, int32_t elementCount, int32_t at, int32_t n,
                                 int32_t firstChar) {
  if (!t.Valid()) return -1;
  int32_t old = ClampCount(*t.count);
  // One insertion can add two ranges (a split and the inserted run).
  if (old + 2 >= kMaxCodePageRanges) return -1;
  // Ranges that share elements each split at the insertion point, so count
  // what the rebuild makes before anything changes.
  int64_t need = 0;
  bool appended = false;
  for (int32_t i = 0; i < old; ++i) {
    int64_t b = t.symbolBase[i], span = static_cast<int64_t>(t.endChar[i]) - t.startChar[i];
    if (at < b) {
      ++need;
    } else if (at <= b + span) {
      need += 1 + (at - b > 0 ? 1 : 0) + (n > 0 ? 1 : 0);
    } else {
      if (at >= elementCount && n >= 1 && !appended) {
        ++need;
        appended = true;
      }
      ++need;
    }
  }
  if (need > kMaxCodePageRanges) return -1;
  Copy saved(t);
  ClearCodePageRanges(t);
  bool inserted = false;
  auto add = [&](int64_t s, int64_t e, int64_t b) { AddCodePageRange(t, Sat(s), Sat(e), Sat(b)); };
  for (int32_t i = 0; i < old; ++i) {
    int64_t s = saved.start[i], e = saved.end[i], b = saved.base[i], span = e - s;
    if (at < b) {
      add(s, e, b + n);
    } else if (at <= b + span) {
      int64_t off = at - b;
      add(s + off, e, static_cast<int64_t>(at) + n);
      if (off > 0) add(s, s + off - 1, b);
      if (n > 0) add(firstChar, static_cast<int64_t>(firstChar) + n - 1, at);
    } else {
      if (at >= elementCount && n >= 1 && !inserted) {
        add(firstChar, static_cast<int64_t>(firstChar) + n - 1, at);
        inserted = true;
      }
      add(s, e, b);
    }
  }
  return old;
}

int32_t ShiftCodePageForDeleteIn(const CodePageTable& t, int32_t d) {
  if (!t.Valid()) return -1;
  int32_t old = ClampCount(*t.count);
  // Count the ranges the rebuild makes first, so a split that does not fit
  // is refused before anything changes.
  int64_t need = 0;
  for (int32_t i = 0; i < old; ++i) {
    int64_t s = t.startChar[i], e = t.endChar[i], b = t.symbolBase[i], span = e - s;
    if (d < b || d > b + span) {
      ++need;
    } else {
      int64_t off = d - b;
      if (e >= s + off + 1) ++need;
      if (s + off - 1 >= s) ++need;
    }
  }
  if (need > kMaxCodePageRanges) return -1;
  Copy saved(t);
  ClearCodePageRanges(t);
  for (int32_t i = 0; i < old; ++i) {
    int64_t s = saved.start[i], e = saved.end[i], b = saved.base[i], span = e - s;
    if (d < b) {
      AddCodePageRange(t, Sat(s), Sat(e), Sat(b - 1));
    } else if (d > b + span) {
      AddCodePageRange(t, Sat(s), Sat(e), Sat(b));
    } else {
      int64_t off = d - b;
      if (e >= s + off + 1) AddCodePageRange(t, Sat(s + off + 1), Sat(e), d);
      if (s + off - 1 >= s) AddCodePageRange(t, Sat(s), Sat(s + off - 1), Sat(b));
    }
  }
  return old;
}

int32_t CharToElement(int32_t character, int slot) { return CharToElementIn(CodePageSlot(slot), character); }

int32_t ElementToChar(int32_t element) { return ElementToCharIn(CurrentCodePage(), element); }

int32_t ShiftCodePageForInsert(int32_t at, int32_t n, int32_t firstChar) {
  if (!g_ed) return -1;
  return ShiftCodePageForInsertIn(CurrentCodePage(), g_ed->Cur().elementCount, at, n, firstChar);
}

int32_t ShiftCodePageForDelete(int32_t element) {
  if (!g_ed) return -1;
  return ShiftCodePageForDeleteIn(CurrentCodePage(), element);
}

}  // namespace dw
