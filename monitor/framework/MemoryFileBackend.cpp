#include "framework/MemoryFileBackend.h"

#include <string.h>

#include <algorithm>
#include <limits>

namespace {

// Windows error numbers, so a test sees what the real backend would report.
const LONG kFileNotFound = 2;
const LONG kPathNotFound = 3;
const LONG kAccessDenied = 5;
const LONG kSharingViolation = 32;
const LONG kDiskFull = 112;
const LONG kNegativeSeek = 131;
const LONG kAlreadyExists = 183;

std::string Key(const std::string& name) { return FilePathKey(name.c_str()); }

void Report(FileError* pError, int cause, LONG osError) {
  if (pError != nullptr) {
    pError->cause = cause;
    pError->osError = osError;
  }
}

}  // namespace

struct MemoryFileBackend::Node {
  std::string name;  // as first created, for ListFiles
  std::vector<BYTE> data;
  // Open handles, counted the way Windows checks sharing.
  int readers = 0;
  int writers = 0;
  int denyRead = 0;
  int denyWrite = 0;
  int handles = 0;
};

struct MemoryFileBackend::Shared {
  mutable std::mutex mu;
  std::map<std::string, std::shared_ptr<Node>> files;  // by Key(name)
  std::map<std::string, FileError> failOpen;
  std::map<std::string, bool> failWriteTo;
  std::map<std::string, bool> failRename;
  std::map<std::string, ULONGLONG> earlyEnd;
  int writeCount = 0;
  int failWriteAt = 0;  // writeCount value whose write fails; 0 = none
  UINT partialBytes = 0;
  bool sticky = false;
  bool diskFull = false;  // a sticky failure has happened
  int openCount = 0;
};

class MemoryFileBackend::Stream : public IFileStream {
public:
  Stream(std::shared_ptr<Shared> shared, std::shared_ptr<Node> node, std::string key,
         bool canRead, bool canWrite, bool denyRead, bool denyWrite)
      : m_shared(std::move(shared)), m_node(std::move(node)), m_key(std::move(key)),
        m_canRead(canRead), m_canWrite(canWrite), m_denyRead(denyRead), m_denyWrite(denyWrite) {}
  ~Stream() override { Release(); }

  bool Read(void* pBuf, UINT nCount, UINT* pRead, FileError* pError) override {
    std::lock_guard<std::mutex> lock(m_shared->mu);
    *pRead = 0;
    if (!m_canRead) {
      Report(pError, CFileException::accessDenied, kAccessDenied);
      return false;
    }
    ULONGLONG end = m_node->data.size();
    auto it = m_shared->earlyEnd.find(m_key);
    if (it != m_shared->earlyEnd.end()) end = std::min(end, it->second);
    if (m_pos >= end) return true;
    ULONGLONG n = std::min<ULONGLONG>(nCount, end - m_pos);
    memcpy(pBuf, m_node->data.data() + m_pos, static_cast<size_t>(n));
    m_pos += n;
    *pRead = static_cast<UINT>(n);
    return true;
  }

  bool Write(const void* pBuf, UINT nCount, UINT* pWritten, FileError* pError) override {
    std::lock_guard<std::mutex> lock(m_shared->mu);
    *pWritten = 0;
    Shared& s = *m_shared;
    ++s.writeCount;
    if (!m_canWrite) {
      Report(pError, CFileException::accessDenied, kAccessDenied);
      return false;
    }
    if (s.diskFull || s.failWriteTo.count(m_key) != 0) {
      Report(pError, CFileException::diskFull, kDiskFull);
      return false;
    }
    UINT n = nCount;
    bool fail = s.failWriteAt != 0 && s.writeCount == s.failWriteAt;
    if (fail) {
      n = std::min(nCount, s.partialBytes);
      s.failWriteAt = 0;
      s.diskFull = s.sticky;
    }
    std::vector<BYTE>& data = m_node->data;
    if (m_pos + n > data.size()) data.resize(static_cast<size_t>(m_pos + n), 0);
    if (n > 0) memcpy(data.data() + m_pos, pBuf, n);
    m_pos += n;
    *pWritten = n;
    if (fail) {
      Report(pError, CFileException::diskFull, kDiskFull);
      return false;
    }
    return true;
  }

  bool Seek(LONGLONG lOff, UINT nFrom, ULONGLONG* pNewPos, FileError* pError) override {
    std::lock_guard<std::mutex> lock(m_shared->mu);
    LONGLONG base = 0;
    if (nFrom == CFile::current) base = static_cast<LONGLONG>(m_pos);
    if (nFrom == CFile::end) base = static_cast<LONGLONG>(m_node->data.size());
    if ((lOff < 0 && base + lOff < 0) ||
        (lOff > 0 && base > std::numeric_limits<LONGLONG>::max() - lOff)) {
      Report(pError, CFileException::badSeek, kNegativeSeek);
      return false;
    }
    m_pos = static_cast<ULONGLONG>(base + lOff);
    *pNewPos = m_pos;
    return true;
  }

  bool GetLength(ULONGLONG* pLength, FileError*) override {
    std::lock_guard<std::mutex> lock(m_shared->mu);
    *pLength = m_node->data.size();
    return true;
  }

  bool Flush(FileError*) override { return true; }

  bool Close(FileError*) override {
    Release();
    return true;
  }

private:
  void Release() {
    if (m_released) return;
    m_released = true;
    std::lock_guard<std::mutex> lock(m_shared->mu);
    Node& node = *m_node;
    node.handles--;
    if (m_canRead) node.readers--;
    if (m_canWrite) node.writers--;
    if (m_denyRead) node.denyRead--;
    if (m_denyWrite) node.denyWrite--;
    m_shared->openCount--;
  }

  std::shared_ptr<Shared> m_shared;
  std::shared_ptr<Node> m_node;
  std::string m_key;
  bool m_canRead, m_canWrite, m_denyRead, m_denyWrite;
  bool m_released = false;
  ULONGLONG m_pos = 0;
};

MemoryFileBackend::MemoryFileBackend() : m_shared(std::make_shared<Shared>()) {}
MemoryFileBackend::~MemoryFileBackend() {}

void MemoryFileBackend::SetFile(const std::string& name, const std::string& contents) {
  SetFile(name, contents.data(), contents.size());
}

void MemoryFileBackend::SetFile(const std::string& name, const void* data, size_t length) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  std::shared_ptr<Node>& node = m_shared->files[Key(name)];
  if (!node) {
    node = std::make_shared<Node>();
    node->name = name;
  }
  const BYTE* p = static_cast<const BYTE*>(data);
  node->data.assign(p, p + (p != nullptr ? length : 0));
}

bool MemoryFileBackend::GetFile(const std::string& name, std::string* pContents) const {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  auto it = m_shared->files.find(Key(name));
  if (it == m_shared->files.end()) {
    if (pContents) pContents->clear();
    return false;
  }
  if (pContents) pContents->assign(it->second->data.begin(), it->second->data.end());
  return true;
}

std::string MemoryFileBackend::GetFileText(const std::string& name) const {
  std::string s;
  GetFile(name, &s);
  return s;
}

bool MemoryFileBackend::Exists(const std::string& name) const { return GetFile(name, nullptr); }

std::vector<std::string> MemoryFileBackend::ListFiles() const {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  std::vector<std::string> names;
  for (const auto& kv : m_shared->files) names.push_back(kv.second->name);
  return names;
}

void MemoryFileBackend::RemoveAllFiles() {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->files.clear();
}

void MemoryFileBackend::FailOpen(const std::string& name, int cause, LONG osError) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  FileError e;
  e.cause = cause;
  e.osError = osError;
  m_shared->failOpen[Key(name)] = e;
}

void MemoryFileBackend::FailWrite(int nth, UINT nPartialBytes, bool bSticky) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->failWriteAt = nth > 0 ? m_shared->writeCount + nth : 0;
  m_shared->partialBytes = nPartialBytes;
  m_shared->sticky = bSticky;
  m_shared->diskFull = false;
}

void MemoryFileBackend::FailWriteTo(const std::string& name) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->failWriteTo[Key(name)] = true;
}

void MemoryFileBackend::FailRename(const std::string& name) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->failRename[Key(name)] = true;
}

void MemoryFileBackend::SetEarlyEnd(const std::string& name, ULONGLONG offset) {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->earlyEnd[Key(name)] = offset;
}

void MemoryFileBackend::ClearFaults() {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  m_shared->failOpen.clear();
  m_shared->failWriteTo.clear();
  m_shared->failRename.clear();
  m_shared->earlyEnd.clear();
  m_shared->failWriteAt = 0;
  m_shared->diskFull = false;
}

int MemoryFileBackend::GetWriteCount() const {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  return m_shared->writeCount;
}

int MemoryFileBackend::GetOpenCount() const {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  return m_shared->openCount;
}

bool MemoryFileBackend::IsOpen(const std::string& name) const {
  std::lock_guard<std::mutex> lock(m_shared->mu);
  auto it = m_shared->files.find(Key(name));
  return it != m_shared->files.end() && it->second->handles > 0;
}

std::unique_ptr<IFileStream> MemoryFileBackend::Open(const char* pszName, UINT nOpenFlags,
                                                     FileError* pError) {
  std::string name = pszName != nullptr ? pszName : "";
  std::string key = Key(name);
  std::lock_guard<std::mutex> lock(m_shared->mu);
  Shared& s = *m_shared;
  if (name.empty()) {
    Report(pError, CFileException::badPath, kPathNotFound);
    return nullptr;
  }
  auto fail = s.failOpen.find(key);
  if (fail != s.failOpen.end()) {
    Report(pError, fail->second.cause, fail->second.osError);
    return nullptr;
  }
  const bool canRead = (nOpenFlags & 3) != CFile::modeWrite;
  const bool canWrite = (nOpenFlags & 3) != CFile::modeRead;
  const UINT share = nOpenFlags & 0x70;
  const bool denyRead = share != CFile::shareDenyWrite && share != CFile::shareDenyNone;
  const bool denyWrite = share != CFile::shareDenyRead && share != CFile::shareDenyNone;
  const bool create = (nOpenFlags & CFile::modeCreate) != 0;

  auto it = s.files.find(key);
  if (it == s.files.end() && !create) {
    Report(pError, CFileException::fileNotFound, kFileNotFound);
    return nullptr;
  }
  std::shared_ptr<Node> node;
  if (it != s.files.end()) {
    node = it->second;
    if ((canRead && node->denyRead > 0) || (canWrite && node->denyWrite > 0) ||
        (denyRead && node->readers > 0) || (denyWrite && node->writers > 0)) {
      Report(pError, CFileException::sharingViolation, kSharingViolation);
      return nullptr;
    }
    if (create && (nOpenFlags & CFile::modeNoTruncate) == 0) node->data.clear();
  } else {
    node = std::make_shared<Node>();
    node->name = name;
    s.files[key] = node;
  }
  node->handles++;
  if (canRead) node->readers++;
  if (canWrite) node->writers++;
  if (denyRead) node->denyRead++;
  if (denyWrite) node->denyWrite++;
  s.openCount++;
  return std::unique_ptr<IFileStream>(
      new Stream(m_shared, node, key, canRead, canWrite, denyRead, denyWrite));
}

bool MemoryFileBackend::Remove(const char* pszName, FileError* pError) {
  std::string key = Key(pszName != nullptr ? pszName : "");
  std::lock_guard<std::mutex> lock(m_shared->mu);
  auto it = m_shared->files.find(key);
  if (it == m_shared->files.end()) {
    Report(pError, CFileException::fileNotFound, kFileNotFound);
    return false;
  }
  if (it->second->handles > 0) {
    Report(pError, CFileException::sharingViolation, kSharingViolation);
    return false;
  }
  m_shared->files.erase(it);
  return true;
}

bool MemoryFileBackend::Rename(const char* pszOldName, const char* pszNewName, FileError* pError) {
  return Move(pszOldName, pszNewName, false, pError);
}

bool MemoryFileBackend::RenameReplacing(const char* pszOldName, const char* pszNewName,
                                        FileError* pError) {
  return Move(pszOldName, pszNewName, true, pError);
}

bool MemoryFileBackend::Move(const char* pszOldName, const char* pszNewName, bool replace,
                             FileError* pError) {
  std::string newName = pszNewName != nullptr ? pszNewName : "";
  std::string oldKey = Key(pszOldName != nullptr ? pszOldName : "");
  std::string newKey = Key(newName);
  std::lock_guard<std::mutex> lock(m_shared->mu);
  Shared& s = *m_shared;
  auto it = s.files.find(oldKey);
  if (it == s.files.end()) {
    Report(pError, CFileException::fileNotFound, kFileNotFound);
    return false;
  }
  if (newName.empty()) {
    Report(pError, CFileException::badPath, kPathNotFound);
    return false;
  }
  if (s.failRename.count(oldKey) != 0 || s.failRename.count(newKey) != 0) {
    Report(pError, CFileException::accessDenied, kAccessDenied);
    return false;
  }
  auto target = s.files.find(newKey);
  if (newKey != oldKey && target != s.files.end()) {
    if (!replace) {
      Report(pError, CFileException::accessDenied, kAlreadyExists);
      return false;
    }
    // Windows lets go of a replaced file only when nobody holds it.
    if (target->second->handles > 0) {
      Report(pError, CFileException::sharingViolation, kSharingViolation);
      return false;
    }
  }
  if (it->second->handles > 0) {
    Report(pError, CFileException::sharingViolation, kSharingViolation);
    return false;
  }
  std::shared_ptr<Node> node = it->second;
  s.files.erase(it);
  node->name = newName;
  s.files[newKey] = node;
  return true;
}

bool MemoryFileBackend::IsSameFile(const char* pszName1, const char* pszName2) {
  std::string key1 = Key(pszName1 != nullptr ? pszName1 : "");
  std::string key2 = Key(pszName2 != nullptr ? pszName2 : "");
  std::lock_guard<std::mutex> lock(m_shared->mu);
  return key1 == key2 && m_shared->files.count(key1) != 0;
}
