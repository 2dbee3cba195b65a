// Binary files (CFile), their errors (CFileException) and line-oriented text
// files (CStdioFile).
//
// Nothing here throws. The original raises exceptions on failed reads and
// writes; the monitor writes logs from worker threads where an exception
// would unwind through code that cannot handle it, so every member reports
// failure through its result instead:
//   - Open returns false and fills the optional CFileException;
//   - Read returns the byte count (0 at the end or on an error);
//   - Write returns true only when every byte was written (a full disk or a
//     failing device gives false, possibly after a partial write);
//   - Seek returns the new position, or leaves the position and returns
//     CFile::posError;
//   - GetLastCause/GetLastOsError tell what the last failed call met.
// Each call that fails can also fill an optional CFileException.
//
// Every file goes through the process-wide IFileBackend (framework/FileBackend.h).
#pragma once

#include <memory>

#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/FileBackend.h"
#include "framework/CTime.h"

// What GetStatus reports about a file.
struct CFileStatus {
  CTime m_ctime;  // creation (on systems without it: last status change)
  CTime m_mtime;  // last write
  CTime m_atime;  // last access
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;  // CFile::Attribute bits
  char m_szFullName[MAX_PATH] = {};
};

class CFileException : public CObject {
public:
  enum {
    none = 0,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR pszFileName = nullptr)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(pszFileName) {}

  // Maps a Windows error number (GetLastError) or a C errno value to a cause.
  static int OsErrorToException(LONG lOsError);
  static int ErrnoToException(int nErrno);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class CFile : public CObject {
public:
  // The flag values are the ones the original defines, so stored flags keep
  // their meaning.
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,  // treated as shareExclusive
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,  // with modeCreate: open an existing file as is
    typeText = 0x4000,        // CStdioFile only
    typeBinary = 0x8000
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
  static constexpr ULONGLONG posError = ~static_cast<ULONGLONG>(0);

  CFile() {}
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens or creates pszFileName. An open file is closed first. Returns false
  // on failure with pError (when given) filled; never throws.
  virtual bool Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual void Close();
  bool IsOpen() const { return m_stream != nullptr; }

  virtual UINT Read(void* lpBuf, UINT nCount, CFileException* pError = nullptr);
  virtual bool Write(const void* lpBuf, UINT nCount, CFileException* pError = nullptr);
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom, CFileException* pError = nullptr);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual bool Flush(CFileException* pError = nullptr);

  // The full path the file was opened with, and its last component.
  CString GetFilePath() const { return m_strFilePath; }
  CString GetFileName() const;

  int GetLastCause() const { return m_lastError.cause; }
  LONG GetLastOsError() const { return m_lastError.osError; }

  enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04,
                          volume = 0x08, directory = 0x10, archive = 0x20 };
  // Times, size and attributes of a file or folder on disk (not through the
  // backend: it answers "does this exist, how big, is it a folder" for names
  // the user typed). False when there is no such file.
  static bool GetStatus(LPCTSTR pszFileName, CFileStatus& rStatus);
  // The same for this open file, by its path.
  bool GetStatus(CFileStatus& rStatus) const;

  static bool Remove(LPCTSTR pszFileName, CFileException* pError = nullptr);
  static bool Rename(LPCTSTR pszOldName, LPCTSTR pszNewName, CFileException* pError = nullptr);
  // Rename that replaces an existing pszNewName in one step (Rename refuses
  // to, as the original does).
  static bool RenameReplacing(LPCTSTR pszOldName, LPCTSTR pszNewName,
                              CFileException* pError = nullptr);

  // Routes every file opened afterwards through pBackend; nullptr restores
  // the real file system. Files already open keep their backend. Meant for
  // tests: set it before the code under test starts threads.
  static void SetBackend(IFileBackend* pBackend);
  static IFileBackend& GetBackend();

protected:
  // Records a failure for GetLastCause and the caller's exception object.
  void SetError(const FileError& error, CFileException* pError) const;

  std::unique_ptr<IFileStream> m_stream;
  CString m_strFilePath;
  mutable FileError m_lastError;
};

// A text file read and written by lines.
//
// In text mode (the default; typeBinary turns it off) WriteString writes each
// '\n' as CR LF, in both builds, so text files are byte-for-byte the same
// whether written on Windows or natively. ReadString takes a line without its
// end, which may be LF or CR LF in either mode. Read and Write move bytes
// unchanged in either mode.
class CStdioFile : public CFile {
public:
  CStdioFile() {}
  ~CStdioFile() override;

  bool Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
  void Close() override;

  // Reads the next line into rString without its line end. Returns false at
  // the end of the file when nothing was left to read; a last line without a
  // line end is still returned.
  bool ReadString(CString& rString);
  // Writes the text (translating '\n' in text mode); true when all was written.
  bool WriteString(LPCTSTR pszText);

  UINT Read(void* lpBuf, UINT nCount, CFileException* pError = nullptr) override;
  bool Write(const void* lpBuf, UINT nCount, CFileException* pError = nullptr) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom, CFileException* pError = nullptr) override;
  ULONGLONG GetPosition() const override;

private:
  // Hands read-ahead back to the stream so that it stands at the logical
  // position again before a write or a seek.
  bool DropReadAhead();
  bool FillReadAhead();

  bool m_bText = true;
  std::unique_ptr<char[]> m_buf;
  UINT m_nBufPos = 0;
  UINT m_nBufLen = 0;
};
