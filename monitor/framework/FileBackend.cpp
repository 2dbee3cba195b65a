#include "framework/FileBackend.h"

#include <vector>

namespace {

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

char FoldCase(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

// ".." goes back over a plain component, never over a drive ("c:") or an
// earlier ".." that had nothing to go back over.
bool CanGoBack(const std::vector<std::string>& parts) {
  if (parts.empty()) return false;
  const std::string& last = parts.back();
  return last != ".." && last[last.size() - 1] != ':';
}

}  // namespace

std::string FilePathKey(const char* pszName) {
  const std::string name = pszName != nullptr ? pszName : "";
  const bool rooted = !name.empty() && IsSeparator(name[0]);
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsSeparator(name[i])) {
      part += FoldCase(name[i]);
      continue;
    }
    if (part == "..") {
      if (CanGoBack(parts)) {
        parts.pop_back();
      } else if (!rooted && (parts.empty() || parts.back() == "..")) {
        parts.push_back(part);  // a relative name going above its start
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string key = rooted ? "\\" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) key += '\\';
    key += parts[i];
  }
  return key;
}
