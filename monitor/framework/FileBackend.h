// The seam every CFile goes through to reach a file system.
//
// The default backend talks to the real file system: CreateFile with real
// share modes in the Windows build, POSIX calls natively (where share modes
// are not enforced). Tests install a MemoryFileBackend (or their own) with
// CFile::SetBackend to make opens fail, disks fill up and files end early
// without touching the disk.
//
// Errors are reported as a cause (CFileException::cause) plus the system's
// own error number (GetLastError() on Windows, errno natively; a backend of
// its own may report any number it likes).
#pragma once

#include <stdint.h>

#include <memory>
#include <string>

#include "framework/WinTypes.h"

struct FileError {
  int cause = 0;       // a CFileException::cause value; 0 = none
  LONG osError = 0;    // the system's error number
};

// One open file. Positions are 64-bit byte offsets.
class IFileStream {
public:
  virtual ~IFileStream() {}
  // Reads up to nCount bytes; *pRead gets what was read (0 at the end).
  // Returns false only on an error.
  virtual bool Read(void* pBuf, UINT nCount, UINT* pRead, FileError* pError) = 0;
  // Writes nCount bytes; *pWritten gets what was written, which may be less
  // when it fails part way (a full disk).
  virtual bool Write(const void* pBuf, UINT nCount, UINT* pWritten, FileError* pError) = 0;
  // nFrom is CFile::begin, CFile::current or CFile::end.
  virtual bool Seek(LONGLONG lOff, UINT nFrom, ULONGLONG* pNewPos, FileError* pError) = 0;
  virtual bool GetLength(ULONGLONG* pLength, FileError* pError) = 0;
  virtual bool Flush(FileError* pError) = 0;
  // Called once; the stream is destroyed right after.
  virtual bool Close(FileError* pError) = 0;
};

class IFileBackend {
public:
  virtual ~IFileBackend() {}
  // nOpenFlags are CFile::OpenFlags. Returns nullptr with *pError filled when
  // the file cannot be opened or created.
  virtual std::unique_ptr<IFileStream> Open(const char* pszName, UINT nOpenFlags,
                                            FileError* pError) = 0;
  virtual bool Remove(const char* pszName, FileError* pError) = 0;
  // Fails when pszNewName already exists, as on Windows.
  virtual bool Rename(const char* pszOldName, const char* pszNewName, FileError* pError) = 0;
  // Renames a file over pszNewName, replacing a file of that name in one
  // step (a reader sees the old file or the new one, never neither). Fails
  // when pszNewName is a folder or a file the system will not let go of.
  virtual bool RenameReplacing(const char* pszOldName, const char* pszNewName,
                               FileError* pError) = 0;
  // True when both names reach one existing file, however they are spelt
  // (case, "..", links). False when either does not exist.
  virtual bool IsSameFile(const char* pszName1, const char* pszName2) = 0;
  // The absolute form of a name, as CFile::GetFilePath reports it.
  virtual std::string GetFullPath(const char* pszName) { return pszName ? pszName : ""; }
};

// A name as Windows resolves it, for comparing names: "\\" for either
// separator, "." and ".." components taken out (never past a root or a
// drive), ASCII case folded. "C:\\a\\sub\\..\\B.txt" and "c:/a/b.TXT" give one
// key. Purely textual: make the name absolute first (GetFullPath) when a
// relative one may meet an absolute one.
std::string FilePathKey(const char* pszName);

// The real file system backend of this build.
IFileBackend& GetDefaultFileBackend();
