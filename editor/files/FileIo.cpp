#include "files/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dw {

namespace {

class CrtFileLayer : public IFileLayer {
 public:
  int Open(const char* path, FileOpenMode mode) override {
#ifdef _WIN32
    int fd = mode == FILE_READ ? _open(path, _O_RDONLY | _O_BINARY)
                               : _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                                       _S_IREAD | _S_IWRITE);
#else
    int fd = mode == FILE_READ ? ::open(path, O_RDONLY) : ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
#endif
    error_ = fd < 0 ? errno : 0;
    return fd;
  }
  int Read(int fd, void* buffer, unsigned count) override {
#ifdef _WIN32
    int n = _read(fd, buffer, count);
#else
    int n = static_cast<int>(::read(fd, buffer, count));
#endif
    if (n < 0) error_ = errno;
    return n;
  }
  int Write(int fd, const void* buffer, unsigned count) override {
#ifdef _WIN32
    int n = _write(fd, buffer, count);
#else
    int n = static_cast<int>(::write(fd, buffer, count));
#endif
    if (n < 0) error_ = errno;
    return n;
  }
  int Close(int fd) override {
#ifdef _WIN32
    int r = _close(fd);
#else
    int r = ::close(fd);
#endif
    if (r < 0) error_ = errno;
    return r;
  }
  bool Replace(const char* from, const char* to) override {
#ifdef _WIN32
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    error_ = kErrAccess;
    return false;
#else
    if (std::rename(from, to) == 0) return true;
    error_ = errno;
    return false;
#endif
  }
  void Remove(const char* path) override { std::remove(path); }
  int Error() override { return error_; }

 private:
  int error_ = 0;
};

CrtFileLayer g_crt;
IFileLayer* g_layer = nullptr;

}  // namespace

IFileLayer& Files() { return g_layer ? *g_layer : g_crt; }
void SetFileLayer(IFileLayer* layer) { g_layer = layer; }

int MemoryFileLayer::Open(const char* path, FileOpenMode mode) {
  if (!path || failOpen == path) {
    error_ = kErrAccess;
    return -1;
  }
  if (mode == FILE_READ) {
    if (!files.count(path)) {
      error_ = kErrNoEntry;
      return -1;
    }
  } else {
    files[path].clear();
  }
  Handle h;
  h.path = path;
  h.write = mode != FILE_READ;
  open_[next_] = h;
  error_ = 0;
  return next_++;
}

int MemoryFileLayer::Read(int fd, void* buffer, unsigned count) {
  auto it = open_.find(fd);
  if (it == open_.end() || it->second.write) {
    error_ = kErrBadFile;
    return -1;
  }
  const std::string& data = files[it->second.path];
  size_t size = data.size();
  if (readLimit >= 0 && static_cast<size_t>(readLimit) < size) size = static_cast<size_t>(readLimit);
  size_t pos = it->second.pos;
  size_t n = pos >= size ? 0 : std::min<size_t>(count, size - pos);
  if (n) std::memcpy(buffer, data.data() + pos, n);
  it->second.pos += n;
  return static_cast<int>(n);
}

int MemoryFileLayer::Write(int fd, const void* buffer, unsigned count) {
  ++writeCalls;
  auto it = open_.find(fd);
  if (it == open_.end() || !it->second.write) {
    error_ = kErrBadFile;
    return -1;
  }
  if (writeFaultAt > 0 && writeCalls >= writeFaultAt) {
    error_ = writeFaultErrno;
    return -1;
  }
  files[it->second.path].append(static_cast<const char*>(buffer), count);
  return static_cast<int>(count);
}

int MemoryFileLayer::Close(int fd) {
  auto it = open_.find(fd);
  if (it == open_.end()) {
    error_ = kErrBadFile;
    return -1;
  }
  bool wrote = it->second.write;
  open_.erase(it);
  if (wrote && failClose) {
    error_ = kErrNoSpace;
    return -1;
  }
  return 0;
}

bool MemoryFileLayer::Replace(const char* from, const char* to) {
  auto it = files.find(from);
  if (it == files.end() || failOpen == to) {
    error_ = kErrAccess;
    return false;
  }
  files[to] = it->second;
  files.erase(from);
  return true;
}

void MemoryFileLayer::Remove(const char* path) { files.erase(path); }

bool FileByteReader::Fill() {
  if (end_ || fd_ < 0) return false;
  int n = Files().Read(fd_, buf_, sizeof buf_);
  if (n <= 0) {
    end_ = true;
    return false;
  }
  pos_ = 0;
  len_ = static_cast<size_t>(n);
  return true;
}

SafeFileWriter::~SafeFileWriter() { Abandon(); }

bool SafeFileWriter::Open(const char* target) {
  target_ = target ? target : "";
  temp_ = target_ + ".$$$";
  error_ = 0;
  fd_ = Files().Open(temp_.c_str(), FILE_WRITE_NEW);
  if (fd_ < 0) {
    error_ = Files().Error() ? Files().Error() : kErrAccess;
    return false;
  }
  return true;
}

bool SafeFileWriter::Write(const char* data, size_t n) {
  if (error_ || fd_ < 0) return false;
  while (n > 0) {
    unsigned chunk = n > 0x40000000u ? 0x40000000u : static_cast<unsigned>(n);
    int w = Files().Write(fd_, data, chunk);
    if (w <= 0) {
      error_ = Files().Error() ? Files().Error() : kErrNoSpace;
      return false;
    }
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool SafeFileWriter::Commit() {
  if (fd_ < 0) return false;
  int fd = fd_;
  fd_ = -1;
  if (Files().Close(fd) != 0 && !error_) error_ = Files().Error() ? Files().Error() : kErrBadFile;
  if (!error_ && !Files().Replace(temp_.c_str(), target_.c_str())) error_ = kErrAccess;
  if (error_) {
    Files().Remove(temp_.c_str());
    return false;
  }
  return true;
}

void SafeFileWriter::Abandon() {
  if (fd_ >= 0) {
    Files().Close(fd_);
    fd_ = -1;
    Files().Remove(temp_.c_str());
  }
}

}  // namespace dw
