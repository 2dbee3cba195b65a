#include "framework/CFileFind.h"

#include <ctype.h>
#include <string.h>

#include <string>
#include <utility>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

#include "framework/FileBackend.h"

namespace {

const char kAllFiles[] = "*.*";

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

bool SameLetter(char a, char b) {
  return tolower(static_cast<unsigned char>(a)) == tolower(static_cast<unsigned char>(b));
}

// Plain wildcard matching; the star backtracks only to its latest position,
// so the work stays linear in practice and never recurses.
bool MatchWildcards(const char* name, const char* nameEnd, const char* pat, const char* patEnd) {
  const char* starPat = nullptr;
  const char* starName = nullptr;
  while (name != nameEnd) {
    if (pat != patEnd && *pat == '*') {
      starPat = ++pat;
      starName = name;
    } else if (pat != patEnd && (*pat == '?' || SameLetter(*pat, *name))) {
      ++pat, ++name;
    } else if (starPat != nullptr) {
      pat = starPat;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (pat != patEnd && *pat == '*') ++pat;
  return pat == patEnd;
}

}  // namespace

bool FileNameMatchesPattern(const char* pszName, const char* pszPattern) {
  if (pszName == nullptr || pszPattern == nullptr) return false;
  const char* nameEnd = pszName + strlen(pszName);
  const char* patEnd = pszPattern + strlen(pszPattern);
  if (MatchWildcards(pszName, nameEnd, pszPattern, patEnd)) return true;
  // "stem.*" also takes a name with no extension at all.
  const size_t patLen = static_cast<size_t>(patEnd - pszPattern);
  if (patLen >= 2 && patEnd[-2] == '.' && patEnd[-1] == '*' && strchr(pszName, '.') == nullptr)
    return MatchWildcards(pszName, nameEnd, pszPattern, patEnd - 2);
  return false;
}

CFileFind::CFileFind() {}

CFileFind::~CFileFind() { Close(); }

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD) {
  Close();
  const char* pattern = pstrName != nullptr && *pstrName != '\0' ? pstrName : kAllFiles;
  m_search = OpenSearch(pattern, &m_next);
  if (m_search == nullptr) return FALSE;
  m_hasNext = true;
  std::string full = GetDefaultFileBackend().GetFullPath(pattern);
  size_t cut = full.size();
  while (cut > 0 && !IsSeparator(full[cut - 1])) --cut;
  m_strRoot = CString(full.data(), static_cast<int>(cut));
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_hasNext) return FALSE;
  std::swap(m_found, m_next);
  m_hasFound = true;
  m_hasNext = m_search != nullptr && m_search->Next(&m_next);
  if (!m_hasNext) m_search.reset();  // the last entry stays readable
  return m_hasNext ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const { return m_hasFound ? m_found.name : CString(); }

CString CFileFind::GetFilePath() const {
  if (!m_hasFound) return CString();
  CString path = m_strRoot;
  if (!path.IsEmpty() && !IsSeparator(path[path.GetLength() - 1])) {
#ifdef _WIN32
    path += '\\';
#else
    path += '/';
#endif
  }
  path += m_found.name;
  return path;
}

BOOL CFileFind::IsDirectory() const { return m_hasFound && m_found.directory ? TRUE : FALSE; }

BOOL CFileFind::IsDots() const {
  if (!m_hasFound || !m_found.directory) return FALSE;
  return m_found.name == "." || m_found.name == ".." ? TRUE : FALSE;
}

void CFileFind::Close() {
  m_search.reset();
  m_found = Entry();
  m_next = Entry();
  m_hasFound = false;
  m_hasNext = false;
  m_strRoot.Empty();
}

// ---- The native search ---------------------------------------------------------
#ifndef _WIN32

namespace {

bool IsDirectoryPath(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Reads the folder and keeps the names the pattern matches; a name without
// wildcards is matched the same way, so its letters may differ in case.
class FolderSearch : public CFileFind::Search {
public:
  FolderSearch(DIR* dir, std::string folder, std::string pattern)
      : m_dir(dir), m_folder(std::move(folder)), m_pattern(std::move(pattern)) {}
  ~FolderSearch() override { ::closedir(m_dir); }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool Next(CFileFind::Entry* pEntry) override {
    while (const struct dirent* d = ::readdir(m_dir)) {
      if (!FileNameMatchesPattern(d->d_name, m_pattern.c_str())) continue;
      pEntry->name = d->d_name;
      // d_type is not filled by every file system; a link counts as what it
      // points to, as on Windows.
      if (d->d_type == DT_DIR || d->d_type == DT_REG)
        pEntry->directory = d->d_type == DT_DIR;
      else
        pEntry->directory = IsDirectoryPath(m_folder + "/" + d->d_name);
      return true;
    }
    return false;
  }

private:
  DIR* m_dir;
  std::string m_folder;
  std::string m_pattern;
};

}  // namespace

std::unique_ptr<CFileFind::Search> CFileFind::OpenSearch(const char* pstrName, Entry* pFirst) {
  std::string path = pstrName;
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return nullptr;  // "folder/" names no entry
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return nullptr;
  std::unique_ptr<Search> search(new FolderSearch(dir, folder, name));
  if (!search->Next(pFirst)) return nullptr;
  return search;
}

#endif  // !_WIN32
