// A file system in memory for tests, with faults on demand.
//
// Install it with CFile::SetBackend(&backend) and restore the real one with
// CFile::SetBackend(nullptr). Names compare as Windows resolves them: without
// regard to ASCII case, with "\\" and "/" alike and "." and ".." taken out. Share modes are enforced as Windows does (a second
// writer of a file opened shareDenyWrite is refused with sharingViolation),
// and an open file cannot be removed or renamed. All members are thread-safe,
// so a test may read back a file while a worker thread writes it.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/CFile.h"
#include "framework/FileBackend.h"

class MemoryFileBackend : public IFileBackend {
public:
  MemoryFileBackend();
  ~MemoryFileBackend() override;
  MemoryFileBackend(const MemoryFileBackend&) = delete;
  MemoryFileBackend& operator=(const MemoryFileBackend&) = delete;

  // Files present before the code under test runs.
  void SetFile(const std::string& name, const std::string& contents);
  void SetFile(const std::string& name, const void* data, size_t length);
  // The contents now; false (and empty) when the file does not exist.
  bool GetFile(const std::string& name, std::string* pContents) const;
  std::string GetFileText(const std::string& name) const;  // "" when absent
  bool Exists(const std::string& name) const;
  std::vector<std::string> ListFiles() const;
  void RemoveAllFiles();

  // Every open of this name (read or create) fails with the given cause.
  void FailOpen(const std::string& name, int cause = CFileException::accessDenied,
                LONG osError = 5 /* ERROR_ACCESS_DENIED */);
  // The n-th write from now (1 = the next one), across all files, fails with
  // diskFull after writing nPartialBytes of it. When bSticky, every later
  // write fails too, as on a disk that stays full.
  void FailWrite(int nth, UINT nPartialBytes = 0, bool bSticky = true);
  // Every write to this file fails with diskFull, writing nothing.
  void FailWriteTo(const std::string& name);
  // Renames from or to this name are refused (accessDenied).
  void FailRename(const std::string& name);
  // Reads of this file see its end at offset, though GetLength still reports
  // the whole file: a file that is cut short while it is read.
  void SetEarlyEnd(const std::string& name, ULONGLONG offset);
  // Forgets every fault set above.
  void ClearFaults();

  // What happened: write calls seen (successful or not) and files open now.
  int GetWriteCount() const;
  int GetOpenCount() const;
  bool IsOpen(const std::string& name) const;

  std::unique_ptr<IFileStream> Open(const char* pszName, UINT nOpenFlags,
                                    FileError* pError) override;
  bool Remove(const char* pszName, FileError* pError) override;
  bool Rename(const char* pszOldName, const char* pszNewName, FileError* pError) override;
  bool RenameReplacing(const char* pszOldName, const char* pszNewName,
                       FileError* pError) override;
  bool IsSameFile(const char* pszName1, const char* pszName2) override;

private:
  bool Move(const char* pszOldName, const char* pszNewName, bool replace, FileError* pError);

  class Stream;
  struct Node;
  struct Shared;
  std::shared_ptr<Shared> m_shared;  // outlives the backend while streams remain
};
