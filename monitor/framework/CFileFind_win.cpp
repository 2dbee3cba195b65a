// The Windows search behind CFileFind: the system matches the pattern.
#include "framework/CFileFind.h"

namespace {

void ToEntry(const WIN32_FIND_DATAA& data, CFileFind::Entry* pEntry) {
  pEntry->name = data.cFileName;
  pEntry->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class SystemSearch : public CFileFind::Search {
public:
  explicit SystemSearch(HANDLE hFind) : m_hFind(hFind) {}
  ~SystemSearch() override { ::FindClose(m_hFind); }
  SystemSearch(const SystemSearch&) = delete;
  SystemSearch& operator=(const SystemSearch&) = delete;

  bool Next(CFileFind::Entry* pEntry) override {
    WIN32_FIND_DATAA data;
    if (!::FindNextFileA(m_hFind, &data)) return false;
    ToEntry(data, pEntry);
    return true;
  }

private:
  HANDLE m_hFind;
};

}  // namespace

std::unique_ptr<CFileFind::Search> CFileFind::OpenSearch(const char* pstrName, Entry* pFirst) {
  WIN32_FIND_DATAA data;
  HANDLE hFind = ::FindFirstFileA(pstrName, &data);
  if (hFind == INVALID_HANDLE_VALUE) return nullptr;
  ToEntry(data, pFirst);
  return std::unique_ptr<Search>(new SystemSearch(hFind));
}
