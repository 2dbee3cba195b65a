// The Windows build's real file system backend: CreateFile with the share
// modes the open flags ask for, so a second writer of a file opened
// shareDenyWrite is refused by the system itself.
#include <windows.h>

#include "framework/CFile.h"
#include "framework/FileBackend.h"

namespace {

FileError FromLastError(DWORD err) {
  FileError e;
  e.osError = static_cast<LONG>(err);
  e.cause = CFileException::OsErrorToException(e.osError);
  return e;
}

void Report(FileError* pError, const FileError& e) {
  if (pError != nullptr) *pError = e;
}

class Win32Stream : public IFileStream {
public:
  explicit Win32Stream(HANDLE h) : m_h(h) {}
  ~Win32Stream() override {
    if (m_h != INVALID_HANDLE_VALUE) ::CloseHandle(m_h);
  }

  bool Read(void* pBuf, UINT nCount, UINT* pRead, FileError* pError) override {
    DWORD n = 0;
    if (!::ReadFile(m_h, pBuf, nCount, &n, nullptr)) {
      DWORD err = ::GetLastError();
      *pRead = n;
      if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF) return true;
      Report(pError, FromLastError(err));
      return false;
    }
    *pRead = n;
    return true;
  }

  bool Write(const void* pBuf, UINT nCount, UINT* pWritten, FileError* pError) override {
    UINT total = 0;
    while (total < nCount) {
      DWORD n = 0;
      if (!::WriteFile(m_h, static_cast<const char*>(pBuf) + total, nCount - total, &n, nullptr)) {
        DWORD err = ::GetLastError();
        *pWritten = total + n;
        Report(pError, FromLastError(err));
        return false;
      }
      if (n == 0) {
        *pWritten = total;
        Report(pError, FromLastError(ERROR_DISK_FULL));
        return false;
      }
      total += n;
    }
    *pWritten = total;
    return true;
  }

  bool Seek(LONGLONG lOff, UINT nFrom, ULONGLONG* pNewPos, FileError* pError) override {
    LARGE_INTEGER off;
    off.QuadPart = lOff;
    LARGE_INTEGER pos;
    DWORD method = nFrom == CFile::begin ? FILE_BEGIN : nFrom == CFile::current ? FILE_CURRENT : FILE_END;
    if (!::SetFilePointerEx(m_h, off, &pos, method)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    *pNewPos = static_cast<ULONGLONG>(pos.QuadPart);
    return true;
  }

  bool GetLength(ULONGLONG* pLength, FileError* pError) override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_h, &size)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    *pLength = static_cast<ULONGLONG>(size.QuadPart);
    return true;
  }

  bool Flush(FileError* pError) override {
    if (!::FlushFileBuffers(m_h)) {
      DWORD err = ::GetLastError();
      if (err == ERROR_ACCESS_DENIED) return true;  // a read-only handle has nothing to flush
      Report(pError, FromLastError(err));
      return false;
    }
    return true;
  }

  bool Close(FileError* pError) override {
    HANDLE h = m_h;
    m_h = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(h)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    return true;
  }

private:
  HANDLE m_h;
};

class Win32FileBackend : public IFileBackend {
  // The volume and file index of a file, read without opening it for data,
  // so that a file another program holds unshared still answers.
  static bool GetIdentity(const char* pszName, BY_HANDLE_FILE_INFORMATION* pInfo) {
    HANDLE h = ::CreateFileA(pszName, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = ::GetFileInformationByHandle(h, pInfo);
    ::CloseHandle(h);
    return ok != FALSE;
  }

public:
  std::unique_ptr<IFileStream> Open(const char* pszName, UINT nOpenFlags,
                                    FileError* pError) override {
    DWORD access;
    switch (nOpenFlags & 3) {
      case CFile::modeWrite: access = GENERIC_WRITE; break;
      case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
      default: access = GENERIC_READ; break;
    }
    DWORD share;
    switch (nOpenFlags & 0x70) {
      case CFile::shareDenyWrite: share = FILE_SHARE_READ; break;
      case CFile::shareDenyRead: share = FILE_SHARE_WRITE; break;
      case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
      default: share = 0; break;  // shareExclusive and shareCompat
    }
    DWORD creation = OPEN_EXISTING;
    if (nOpenFlags & CFile::modeCreate)
      creation = (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    SECURITY_ATTRIBUTES sa;
    sa.nLength = sizeof sa;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = (nOpenFlags & CFile::modeNoInherit) ? FALSE : TRUE;
    HANDLE h = ::CreateFileA(pszName, access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Report(pError, FromLastError(::GetLastError()));
      return nullptr;
    }
    return std::unique_ptr<IFileStream>(new Win32Stream(h));
  }

  bool Remove(const char* pszName, FileError* pError) override {
    if (!::DeleteFileA(pszName)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    return true;
  }

  bool Rename(const char* pszOldName, const char* pszNewName, FileError* pError) override {
    if (!::MoveFileA(pszOldName, pszNewName)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    return true;
  }

  bool RenameReplacing(const char* pszOldName, const char* pszNewName,
                       FileError* pError) override {
    if (!::MoveFileExA(pszOldName, pszNewName, MOVEFILE_REPLACE_EXISTING)) {
      Report(pError, FromLastError(::GetLastError()));
      return false;
    }
    return true;
  }

  bool IsSameFile(const char* pszName1, const char* pszName2) override {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    if (!GetIdentity(pszName1, &a) || !GetIdentity(pszName2, &b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  }

  std::string GetFullPath(const char* pszName) override {
    char buf[MAX_PATH * 4];
    char* filePart = nullptr;
    DWORD n = ::GetFullPathNameA(pszName, sizeof buf, buf, &filePart);
    if (n == 0 || n >= sizeof buf) return pszName != nullptr ? pszName : "";
    return std::string(buf, n);
  }
};

}  // namespace

IFileBackend& GetDefaultFileBackend() {
  static Win32FileBackend backend;
  return backend;
}
