// The native build's real file system backend, over POSIX calls. The Windows
// build has its own in FileBackend_win.cpp.
//
// Share modes are not enforced here: POSIX has no equivalent that other
// programs honour. Tests of sharing run in the Windows build or against the
// MemoryFileBackend.
#ifndef _WIN32

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "framework/CFile.h"
#include "framework/FileBackend.h"

namespace {

FileError FromErrno(int err) {
  FileError e;
  e.osError = err;
  e.cause = CFileException::ErrnoToException(err);
  return e;
}

void Report(FileError* pError, const FileError& e) {
  if (pError != nullptr) *pError = e;
}

class PosixStream : public IFileStream {
public:
  explicit PosixStream(int fd) : m_fd(fd) {}
  ~PosixStream() override {
    if (m_fd >= 0) ::close(m_fd);
  }

  bool Read(void* pBuf, UINT nCount, UINT* pRead, FileError* pError) override {
    UINT total = 0;
    while (total < nCount) {
      ssize_t n = ::read(m_fd, static_cast<char*>(pBuf) + total, nCount - total);
      if (n < 0) {
        if (errno == EINTR) continue;
        *pRead = total;
        Report(pError, FromErrno(errno));
        return false;
      }
      if (n == 0) break;
      total += static_cast<UINT>(n);
    }
    *pRead = total;
    return true;
  }

  bool Write(const void* pBuf, UINT nCount, UINT* pWritten, FileError* pError) override {
    UINT total = 0;
    while (total < nCount) {
      ssize_t n = ::write(m_fd, static_cast<const char*>(pBuf) + total, nCount - total);
      if (n < 0) {
        if (errno == EINTR) continue;
        *pWritten = total;
        Report(pError, FromErrno(errno));
        return false;
      }
      if (n == 0) {
        *pWritten = total;
        Report(pError, FromErrno(ENOSPC));
        return false;
      }
      total += static_cast<UINT>(n);
    }
    *pWritten = total;
    return true;
  }

  bool Seek(LONGLONG lOff, UINT nFrom, ULONGLONG* pNewPos, FileError* pError) override {
    int whence = nFrom == CFile::begin ? SEEK_SET : nFrom == CFile::current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(m_fd, static_cast<off_t>(lOff), whence);
    if (pos < 0) {
      FileError e = FromErrno(errno);
      if (errno == EINVAL) e.cause = CFileException::badSeek;
      Report(pError, e);
      return false;
    }
    *pNewPos = static_cast<ULONGLONG>(pos);
    return true;
  }

  bool GetLength(ULONGLONG* pLength, FileError* pError) override {
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    *pLength = static_cast<ULONGLONG>(st.st_size);
    return true;
  }

  bool Flush(FileError* pError) override {
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
      Report(pError, FromErrno(errno));
      return false;
    }
    return true;
  }

  bool Close(FileError* pError) override {
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    return true;
  }

private:
  int m_fd;
};

class PosixFileBackend : public IFileBackend {
public:
  std::unique_ptr<IFileStream> Open(const char* pszName, UINT nOpenFlags,
                                    FileError* pError) override {
    int flags = O_CLOEXEC;
    switch (nOpenFlags & 3) {
      case CFile::modeWrite: flags |= O_WRONLY; break;
      case CFile::modeReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
    if (nOpenFlags & CFile::modeCreate) {
      flags |= O_CREAT;
      if ((nOpenFlags & CFile::modeNoTruncate) == 0) flags |= O_TRUNC;
    }
    int fd;
    do {
      fd = ::open(pszName, flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      Report(pError, FromErrno(errno));
      return nullptr;
    }
    // Windows refuses to open a directory as a file; so does this backend,
    // so that both builds fail the same way.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      Report(pError, FromErrno(EISDIR));
      return nullptr;
    }
    return std::unique_ptr<IFileStream>(new PosixStream(fd));
  }

  bool Remove(const char* pszName, FileError* pError) override {
    if (::unlink(pszName) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    return true;
  }

  bool Rename(const char* pszOldName, const char* pszNewName, FileError* pError) override {
    // rename() would replace an existing target; Windows refuses instead, and
    // callers rely on that to not lose a file.
    struct stat st;
    if (::lstat(pszOldName, &st) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    if (::lstat(pszNewName, &st) == 0) {
      Report(pError, FromErrno(EEXIST));
      return false;
    }
    if (::rename(pszOldName, pszNewName) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    return true;
  }

  bool RenameReplacing(const char* pszOldName, const char* pszNewName,
                       FileError* pError) override {
    // rename() replaces the target in one step, but would also take a
    // directory's place when the source is one; only files move here.
    struct stat st;
    if (::lstat(pszOldName, &st) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    if (S_ISDIR(st.st_mode)) {
      Report(pError, FromErrno(EISDIR));
      return false;
    }
    if (::rename(pszOldName, pszNewName) != 0) {
      Report(pError, FromErrno(errno));
      return false;
    }
    return true;
  }

  bool IsSameFile(const char* pszName1, const char* pszName2) override {
    struct stat a;
    struct stat b;
    if (::stat(pszName1, &a) != 0 || ::stat(pszName2, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  }

  std::string GetFullPath(const char* pszName) override {
    std::string name = pszName != nullptr ? pszName : "";
    if (!name.empty() && name[0] == '/') return name;
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return name;
    std::string full = cwd;
    if (full.empty() || full.back() != '/') full += '/';
    return full + name;
  }
};

}  // namespace

IFileBackend& GetDefaultFileBackend() {
  static PosixFileBackend backend;
  return backend;
}

#endif  // !_WIN32
