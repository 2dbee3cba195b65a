// CFileFind: the entries of a folder that match a name pattern, one at a
// time. FindFirstFile/FindNextFile in the Windows build; opendir/readdir
// natively, where the pattern is matched as Windows matches it (wildcards *
// and ?, letters of either case, "*.*" for every name).
//
// The search runs one entry ahead: FindFile finds the first match but makes
// nothing current; each FindNextFile makes the next match current and tells
// whether another one follows. So it returns FALSE when the entry it has just
// made current is the last one, which is still valid to read:
//
//   CFileFind finder;
//   BOOL more = finder.FindFile("C:\\logs\\*.log");
//   while (more) {
//     more = finder.FindNextFile();
//     if (!finder.IsDirectory()) Use(finder.GetFilePath());
//   }
//
// Entries come in the file system's order ("." and ".." included when the
// folder lists them).
#pragma once

#include <memory>

#include "framework/CObject.h"
#include "framework/CString.h"

class CFileFind : public CObject {
public:
  CFileFind();
  ~CFileFind() override;
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search ("*.*" when pstrName is nullptr): a folder part, then a
  // name that may hold wildcards. A name without wildcards finds that one
  // entry. FALSE when nothing matches or the folder cannot be read.
  BOOL FindFile(LPCTSTR pstrName = nullptr, DWORD dwUnused = 0);
  // Makes the next match current; FALSE when no match follows it (and when
  // no search is running).
  BOOL FindNextFile();

  // The current entry; empty / FALSE before the first FindNextFile.
  CString GetFileName() const;
  // The folder of the pattern as a full path, then the name.
  CString GetFilePath() const;
  // The full path of the pattern's folder, ending with a separator.
  CString GetRoot() const { return m_strRoot; }
  BOOL IsDirectory() const;
  // "." or "..".
  BOOL IsDots() const;

  void Close();

  // One entry of a folder, as the platform part reports it.
  struct Entry {
    CString name;
    bool directory = false;
  };
  // The platform's side of a running search.
  class Search {
  public:
    virtual ~Search() {}
    // The next match; false at the end.
    virtual bool Next(Entry* pEntry) = 0;
  };

private:
  // Opens a search for pstrName and reads its first match into *pFirst;
  // nullptr when nothing matches. Built once per platform.
  static std::unique_ptr<Search> OpenSearch(const char* pstrName, Entry* pFirst);

  std::unique_ptr<Search> m_search;
  Entry m_found;
  Entry m_next;
  bool m_hasFound = false;
  bool m_hasNext = false;
  CString m_strRoot;
};

// Windows' rule for a name pattern: * any run of characters, ? any one,
// letters compared without case; a pattern ending in ".*" also matches the
// name without any extension ("*.*" matches every name, "log.*" "log").
bool FileNameMatchesPattern(const char* pszName, const char* pszPattern);
