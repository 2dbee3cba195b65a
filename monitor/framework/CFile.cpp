#include "framework/CFile.h"

#include <errno.h>
#include <sys/stat.h>
#include <string.h>

#include <atomic>
#include <vector>

namespace {

std::atomic<IFileBackend*> g_backend{nullptr};

FileError NotOpenError() {
  FileError e;
  e.cause = CFileException::invalidFile;
  e.osError = 6;  // ERROR_INVALID_HANDLE: what Windows says of a closed handle
  return e;
}

void FillException(CFileException* pError, const FileError& error, const CString& name) {
  if (pError == nullptr) return;
  pError->m_cause = error.cause;
  pError->m_lOsError = error.osError;
  pError->m_strFileName = name;
}

}  // namespace

// ---------------------------------------------------------------------------
// CFileException

int CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case 0: return none;
    case 2: return fileNotFound;        // ERROR_FILE_NOT_FOUND
    case 3: return badPath;             // ERROR_PATH_NOT_FOUND
    case 4: return tooManyOpenFiles;    // ERROR_TOO_MANY_OPEN_FILES
    case 5: return accessDenied;        // ERROR_ACCESS_DENIED
    case 6: return invalidFile;         // ERROR_INVALID_HANDLE
    case 15: return badPath;            // ERROR_INVALID_DRIVE
    case 16: return removeCurrentDir;   // ERROR_CURRENT_DIRECTORY
    case 18: return directoryFull;      // ERROR_NO_MORE_FILES
    case 19: return accessDenied;       // ERROR_WRITE_PROTECT
    case 21: return hardIO;             // ERROR_NOT_READY
    case 23: return hardIO;             // ERROR_CRC
    case 25: return badSeek;            // ERROR_SEEK
    case 29: return hardIO;             // ERROR_WRITE_FAULT
    case 30: return hardIO;             // ERROR_READ_FAULT
    case 31: return hardIO;             // ERROR_GEN_FAILURE
    case 32: return sharingViolation;   // ERROR_SHARING_VIOLATION
    case 33: return lockViolation;      // ERROR_LOCK_VIOLATION
    case 38: return endOfFile;          // ERROR_HANDLE_EOF
    case 39: return diskFull;           // ERROR_HANDLE_DISK_FULL
    case 53: return badPath;            // ERROR_BAD_NETPATH
    case 80: return accessDenied;       // ERROR_FILE_EXISTS
    case 82: return directoryFull;      // ERROR_CANNOT_MAKE
    case 112: return diskFull;          // ERROR_DISK_FULL
    case 123: return badPath;           // ERROR_INVALID_NAME
    case 131: return badSeek;           // ERROR_NEGATIVE_SEEK
    case 132: return badSeek;           // ERROR_SEEK_ON_DEVICE
    case 161: return badPath;           // ERROR_BAD_PATHNAME
    case 183: return accessDenied;      // ERROR_ALREADY_EXISTS
    case 206: return badPath;           // ERROR_FILENAME_EXCED_RANGE
    default: return genericException;
  }
}

int CFileException::ErrnoToException(int nErrno) {
  switch (nErrno) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR: return badPath;
    case ENAMETOOLONG: return badPath;
    case EMFILE: return tooManyOpenFiles;
    case ENFILE: return tooManyOpenFiles;
    case EACCES: return accessDenied;
    case EPERM: return accessDenied;
    case EROFS: return accessDenied;
    case EEXIST: return accessDenied;
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return sharingViolation;
    case ENOSPC: return diskFull;
    case EFBIG: return diskFull;
#ifdef EDQUOT
    case EDQUOT: return diskFull;
#endif
    case EIO: return hardIO;
    case ESPIPE: return badSeek;
    case EDEADLK: return lockViolation;
    default: return genericException;
  }
}

// ---------------------------------------------------------------------------
// CFile

void CFile::SetBackend(IFileBackend* pBackend) { g_backend.store(pBackend); }

IFileBackend& CFile::GetBackend() {
  IFileBackend* p = g_backend.load();
  return p != nullptr ? *p : GetDefaultFileBackend();
}

CFile::~CFile() { CFile::Close(); }

void CFile::SetError(const FileError& error, CFileException* pError) const {
  m_lastError = error;
  FillException(pError, error, m_strFilePath);
}

bool CFile::Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError) {
  Close();
  m_lastError = FileError();
  const char* name = pszFileName != nullptr ? pszFileName : "";
  FileError error;
  if ((nOpenFlags & 3) == 3) {
    // Not a mode: read, write and read-write are the only access values.
    error.cause = CFileException::genericException;
    error.osError = 87;  // ERROR_INVALID_PARAMETER
  } else {
    IFileBackend& backend = GetBackend();
    m_stream = backend.Open(name, nOpenFlags, &error);
    if (m_stream != nullptr) {
      m_strFilePath = backend.GetFullPath(name).c_str();
      return true;
    }
    if (error.cause == CFileException::none) error.cause = CFileException::genericException;
  }
  m_lastError = error;
  FillException(pError, error, CString(name));
  return false;
}

void CFile::Close() {
  if (m_stream != nullptr) {
    FileError error;
    if (!m_stream->Close(&error)) m_lastError = error;
    m_stream.reset();
  }
  m_strFilePath.Empty();
}

UINT CFile::Read(void* lpBuf, UINT nCount, CFileException* pError) {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), pError);
    return 0;
  }
  if (nCount == 0) return 0;
  if (lpBuf == nullptr) {
    SetError(FileError{CFileException::genericException, 87}, pError);
    return 0;
  }
  UINT nRead = 0;
  FileError error;
  if (!m_stream->Read(lpBuf, nCount, &nRead, &error)) SetError(error, pError);
  return nRead;
}

bool CFile::Write(const void* lpBuf, UINT nCount, CFileException* pError) {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), pError);
    return false;
  }
  if (nCount == 0) return true;
  if (lpBuf == nullptr) {
    SetError(FileError{CFileException::genericException, 87}, pError);
    return false;
  }
  UINT nWritten = 0;
  FileError error;
  bool ok = m_stream->Write(lpBuf, nCount, &nWritten, &error);
  if (ok && nWritten != nCount) {
    // A stream that stops short without saying why: treat it as a full disk.
    ok = false;
    error.cause = CFileException::diskFull;
    error.osError = 112;  // ERROR_DISK_FULL
  }
  if (!ok) SetError(error, pError);
  return ok;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom, CFileException* pError) {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), pError);
    return posError;
  }
  if (nFrom > end) {
    SetError(FileError{CFileException::badSeek, 87}, pError);
    return posError;
  }
  ULONGLONG pos = 0;
  FileError error;
  if (!m_stream->Seek(lOff, nFrom, &pos, &error)) {
    SetError(error, pError);
    return posError;
  }
  return pos;
}

ULONGLONG CFile::GetPosition() const {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), nullptr);
    return 0;
  }
  ULONGLONG pos = 0;
  FileError error;
  if (!m_stream->Seek(0, current, &pos, &error)) {
    SetError(error, nullptr);
    return 0;
  }
  return pos;
}

ULONGLONG CFile::GetLength() const {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), nullptr);
    return 0;
  }
  ULONGLONG length = 0;
  FileError error;
  if (!m_stream->GetLength(&length, &error)) {
    SetError(error, nullptr);
    return 0;
  }
  return length;
}

bool CFile::Flush(CFileException* pError) {
  if (m_stream == nullptr) {
    SetError(NotOpenError(), pError);
    return false;
  }
  FileError error;
  if (!m_stream->Flush(&error)) {
    SetError(error, pError);
    return false;
  }
  return true;
}

CString CFile::GetFileName() const {
  const char* path = m_strFilePath;
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  return CString(name);
}

bool CFile::Remove(LPCTSTR pszFileName, CFileException* pError) {
  const char* name = pszFileName != nullptr ? pszFileName : "";
  FileError error;
  if (GetBackend().Remove(name, &error)) return true;
  if (error.cause == CFileException::none) error.cause = CFileException::genericException;
  FillException(pError, error, CString(name));
  return false;
}

bool CFile::Rename(LPCTSTR pszOldName, LPCTSTR pszNewName, CFileException* pError) {
  const char* oldName = pszOldName != nullptr ? pszOldName : "";
  const char* newName = pszNewName != nullptr ? pszNewName : "";
  FileError error;
  if (GetBackend().Rename(oldName, newName, &error)) return true;
  if (error.cause == CFileException::none) error.cause = CFileException::genericException;
  FillException(pError, error, CString(oldName));
  return false;
}

bool CFile::RenameReplacing(LPCTSTR pszOldName, LPCTSTR pszNewName, CFileException* pError) {
  const char* oldName = pszOldName != nullptr ? pszOldName : "";
  const char* newName = pszNewName != nullptr ? pszNewName : "";
  FileError error;
  if (GetBackend().RenameReplacing(oldName, newName, &error)) return true;
  if (error.cause == CFileException::none) error.cause = CFileException::genericException;
  FillException(pError, error, CString(oldName));
  return false;
}

// ---------------------------------------------------------------------------
// CStdioFile

namespace {
const UINT kReadAhead = 4096;
}

CStdioFile::~CStdioFile() { CStdioFile::Close(); }

bool CStdioFile::Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError) {
  m_nBufPos = m_nBufLen = 0;
  m_bText = (nOpenFlags & typeBinary) == 0;
  return CFile::Open(pszFileName, nOpenFlags, pError);
}

void CStdioFile::Close() {
  m_nBufPos = m_nBufLen = 0;
  CFile::Close();
}

bool CStdioFile::FillReadAhead() {
  if (!m_buf) m_buf.reset(new char[kReadAhead]);
  m_nBufPos = 0;
  m_nBufLen = CFile::Read(m_buf.get(), kReadAhead);
  return m_nBufLen > 0;
}

bool CStdioFile::DropReadAhead() {
  UINT unread = m_nBufLen - m_nBufPos;
  m_nBufPos = m_nBufLen = 0;
  if (unread == 0) return true;
  return CFile::Seek(-static_cast<LONGLONG>(unread), current) != posError;
}

bool CStdioFile::ReadString(CString& rString) {
  std::string line;
  bool bAny = false;
  for (;;) {
    if (m_nBufPos == m_nBufLen && !FillReadAhead()) break;
    bAny = true;
    const char* start = m_buf.get() + m_nBufPos;
    UINT avail = m_nBufLen - m_nBufPos;
    const void* nl = memchr(start, '\n', avail);
    if (nl == nullptr) {
      line.append(start, avail);
      m_nBufPos = m_nBufLen;
      continue;
    }
    UINT n = static_cast<UINT>(static_cast<const char*>(nl) - start);
    line.append(start, n);
    m_nBufPos += n + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    break;
  }
  rString = CString(line.data(), static_cast<int>(line.size()));
  return bAny;
}

bool CStdioFile::WriteString(LPCTSTR pszText) {
  if (pszText == nullptr) return true;
  if (!m_bText) return Write(pszText, static_cast<UINT>(strlen(pszText)));
  std::string out;
  for (const char* p = pszText; *p != '\0'; ++p) {
    if (*p == '\n') out.push_back('\r');
    out.push_back(*p);
  }
  return Write(out.data(), static_cast<UINT>(out.size()));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount, CFileException* pError) {
  if (lpBuf == nullptr || nCount == 0 || m_nBufPos == m_nBufLen)
    return CFile::Read(lpBuf, nCount, pError);
  UINT n = m_nBufLen - m_nBufPos;
  if (n > nCount) n = nCount;
  memcpy(lpBuf, m_buf.get() + m_nBufPos, n);
  m_nBufPos += n;
  if (n < nCount) n += CFile::Read(static_cast<char*>(lpBuf) + n, nCount - n, pError);
  return n;
}

bool CStdioFile::Write(const void* lpBuf, UINT nCount, CFileException* pError) {
  if (!DropReadAhead()) {
    SetError(m_lastError, pError);
    return false;
  }
  return CFile::Write(lpBuf, nCount, pError);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom, CFileException* pError) {
  if (!DropReadAhead()) {
    SetError(m_lastError, pError);
    return posError;
  }
  return CFile::Seek(lOff, nFrom, pError);
}

ULONGLONG CStdioFile::GetPosition() const {
  ULONGLONG pos = CFile::GetPosition();
  UINT unread = m_nBufLen - m_nBufPos;
  return pos >= unread ? pos - unread : 0;
}

bool CFile::GetStatus(LPCTSTR pszFileName, CFileStatus& rStatus) {
  if (pszFileName == nullptr || *pszFileName == '\0') return false;
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(pszFileName, GetFileExInfoStandard, &data)) return false;
  auto toTime = [](const FILETIME& ft) {
    ULONGLONG v = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    // 100 ns ticks since 1601 to seconds since 1970.
    return CTime(static_cast<int64_t>(v / 10000000ULL) - 11644473600LL);
  };
  rStatus.m_ctime = toTime(data.ftCreationTime);
  rStatus.m_atime = toTime(data.ftLastAccessTime);
  rStatus.m_mtime = toTime(data.ftLastWriteTime);
  rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0x3F);
  if (::GetFullPathNameA(pszFileName, MAX_PATH, rStatus.m_szFullName, nullptr) == 0)
    rStatus.m_szFullName[0] = '\0';
#else
  struct stat st;
  if (::stat(pszFileName, &st) != 0) return false;
  rStatus.m_ctime = CTime(static_cast<int64_t>(st.st_ctime));
  rStatus.m_atime = CTime(static_cast<int64_t>(st.st_atime));
  rStatus.m_mtime = CTime(static_cast<int64_t>(st.st_mtime));
  rStatus.m_size = static_cast<ULONGLONG>(st.st_size);
  BYTE attr = S_ISDIR(st.st_mode) ? directory : normal;
  if ((st.st_mode & S_IWUSR) == 0) attr |= readOnly;
  rStatus.m_attribute = attr;
  std::string full = CFile::GetBackend().GetFullPath(pszFileName);
  if (full.size() >= sizeof rStatus.m_szFullName) full.resize(sizeof rStatus.m_szFullName - 1);
  memcpy(rStatus.m_szFullName, full.c_str(), full.size() + 1);
#endif
  return true;
}

bool CFile::GetStatus(CFileStatus& rStatus) const {
  if (!IsOpen()) return false;
  return GetStatus(m_strFilePath, rStatus);
}
