// The file layer of the editor's readers and writers, with the semantics of
// the C runtime's low-level calls (descriptors, byte counts, errno values).
// The program uses the runtime itself; host tests and the fuzzer install an
// in-memory layer that can fail on purpose, so every failure path of a
// writer can be shown without a full disk.
#ifndef DOTWERK_FILES_FILEIO_H
#define DOTWERK_FILES_FILEIO_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace dw {

// errno values the writers tell apart (the same numbers in both runtimes).
constexpr int kErrNoSpace = 28;  // ENOSPC
constexpr int kErrBadFile = 9;   // EBADF
constexpr int kErrNoEntry = 2;   // ENOENT
constexpr int kErrAccess = 13;   // EACCES

enum FileOpenMode { FILE_READ = 0, FILE_WRITE_NEW = 1 };  // write-new: created or truncated, binary

struct IFileLayer {
  virtual ~IFileLayer() {}
  // A descriptor >= 0, or -1 with Error() set.
  virtual int Open(const char* path, FileOpenMode mode) = 0;
  // Bytes read (0 at the end), or -1.
  virtual int Read(int fd, void* buffer, unsigned count) = 0;
  // Bytes written, or -1 with Error() set.
  virtual int Write(int fd, const void* buffer, unsigned count) = 0;
  // 0, or -1 with Error() set.
  virtual int Close(int fd) = 0;
  // Puts `from` in the place of `to` (replacing it); false on failure.
  virtual bool Replace(const char* from, const char* to) = 0;
  virtual void Remove(const char* path) = 0;
  virtual int Error() = 0;
};

// The layer in force (the runtime's unless a test installed another).
IFileLayer& Files();
// Installs a layer; null goes back to the runtime's.
void SetFileLayer(IFileLayer* layer);

// In-memory files with fault injection.
class MemoryFileLayer : public IFileLayer {
 public:
  std::map<std::string, std::string> files;
  // Faults: opening this path fails (read or create); the n-th write call
  // (counted from 1 over all descriptors since the last ArmWriteFault)
  // fails with writeFaultErrno; files read as if they ended after this many
  // bytes (-1 = whole file); closing a written file fails.
  std::string failOpen;
  int writeFaultAt = 0;
  int writeFaultErrno = kErrNoSpace;
  long readLimit = -1;
  bool failClose = false;
  int writeCalls = 0;

  void ArmWriteFault(int n, int err) {
    writeFaultAt = n;
    writeFaultErrno = err;
    writeCalls = 0;
  }

  int Open(const char* path, FileOpenMode mode) override;
  int Read(int fd, void* buffer, unsigned count) override;
  int Write(int fd, const void* buffer, unsigned count) override;
  int Close(int fd) override;
  bool Replace(const char* from, const char* to) override;
  void Remove(const char* path) override;
  int Error() override { return error_; }

 private:
  struct Handle {
    std::string path;
    bool write = false;
    size_t pos = 0;
  };
  std::map<int, Handle> open_;
  int next_ = 3;
  int error_ = 0;
};

// A source of single bytes: Next returns the next byte or -1 at the end;
// Unget gives the last one back (one byte of look-back).
struct IByteSource {
  virtual ~IByteSource() {}
  virtual int Next() = 0;
  virtual void Unget() = 0;
};

// Bytes held in memory (tests, the fuzzer, buffers read whole).
class MemoryByteSource : public IByteSource {
 public:
  MemoryByteSource(const void* data, size_t size) : p_(static_cast<const uint8_t*>(data)), n_(size) {}
  int Next() override { return i_ < n_ ? p_[i_++] : (i_ = n_ + 1, -1); }
  void Unget() override {
    if (i_ > 0) --i_;
  }

 private:
  const uint8_t* p_;
  size_t n_, i_ = 0;
};

// Buffered byte-by-byte reading from a descriptor of the file layer, the
// way every reader of the editor walks its file.
class FileByteReader : public IByteSource {
 public:
  explicit FileByteReader(int fd) : fd_(fd) {}
  // The next byte, or -1 at the end of the file (or on a read error).
  int Get() {
    if (pushed_ >= 0) {
      last_ = pushed_;
      pushed_ = -1;
      return last_;
    }
    if (pos_ == len_ && !Fill()) return last_ = -1;
    return last_ = buf_[pos_++];
  }
  int Next() override { return Get(); }
  // Gives the last byte back (one byte of look-back is enough for the
  // state machines).
  void Unget() override { pushed_ = last_; }
  int Descriptor() const { return fd_; }

 private:
  bool Fill();
  int fd_;
  uint8_t buf_[4096];
  size_t pos_ = 0, len_ = 0;
  bool end_ = false;
  int last_ = -1, pushed_ = -1;
};

// A written file that goes into place only when everything reached the
// disk: the bytes go to "<target>.$$$" beside the target, and Commit
// replaces the target after the last write and the close succeeded; any
// failure removes the temporary file and leaves the old target as it was.
class SafeFileWriter {
 public:
  SafeFileWriter() {}
  ~SafeFileWriter();
  // False when the temporary file cannot be created (Error() tells why).
  bool Open(const char* target);
  // Writes all bytes; false (and the error kept) on the first failure,
  // after which nothing more is written.
  bool Write(const char* data, size_t n);
  bool Write(const std::string& s) { return Write(s.data(), s.size()); }
  // Closes and replaces the target; false when anything failed.
  bool Commit();
  // 0, or the errno of the first failure.
  int Error() const { return error_; }

 private:
  void Abandon();
  std::string target_, temp_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace dw

#endif
