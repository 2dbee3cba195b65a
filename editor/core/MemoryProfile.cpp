#include "core/MemoryProfile.h"

#include <cctype>
#include <cstring>

namespace dw {

bool EqualNoCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

static std::string Lower(const char* s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

static std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

void MemoryProfile::Parse(const std::string& text) {
  Section* cur = nullptr;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = Trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    if (line.empty()) continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      cur = Find(name.c_str(), true);
      continue;
    }
    if (!cur || line[0] == ';') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (key.empty()) continue;
    if (cur->index.emplace(Lower(key.c_str()), cur->keys.size()).second) cur->keys.emplace_back(key, value);
  }
}

MemoryProfile::Section* MemoryProfile::Find(const char* section, bool create) {
  if (lastSection_ < sections_.size() && lastName_ == section) return &sections_[lastSection_];
  std::string name = Lower(section);
  auto it = sectionIndex_.find(name);
  if (it != sectionIndex_.end()) {
    lastName_ = section;
    lastSection_ = it->second;
    return &sections_[it->second];
  }
  if (!create) return nullptr;
  sectionIndex_.emplace(name, sections_.size());
  sections_.push_back(Section{section, {}, {}});
  return &sections_.back();
}

std::pair<std::string, std::string>* MemoryProfile::FindKey(Section& s, const char* key) {
  auto it = s.index.find(Lower(key));
  return it == s.index.end() ? nullptr : &s.keys[it->second];
}

bool MemoryProfile::Get(const char* section, const char* key, std::string* value) {
  Section* s = Find(section, false);
  if (!s) return false;
  auto* kv = FindKey(*s, key);
  if (!kv) return false;
  if (value) *value = kv->second;
  return true;
}

void MemoryProfile::Write(const char* section, const char* key, const char* value) {
  writes_.push_back(WriteRecord{section, key, value ? value : ""});
  Section* s = Find(section, true);
  if (auto* kv = FindKey(*s, key)) {
    kv->second = value ? value : "";
    return;
  }
  s->index.emplace(Lower(key), s->keys.size());
  s->keys.emplace_back(key, value ? value : "");
}

std::vector<std::string> MemoryProfile::Keys(const char* section) {
  std::vector<std::string> out;
  Section* s = Find(section, false);
  if (s) {
    for (auto& kv : s->keys) out.push_back(kv.first);
  }
  return out;
}

std::string MemoryProfile::ToText() const {
  std::string out;
  for (auto& s : sections_) {
    out += "[" + s.name + "]\n";
    for (auto& kv : s.keys) out += kv.first + "=" + kv.second + "\n";
  }
  return out;
}

size_t MemoryProfile::KeyCount() const {
  size_t n = 0;
  for (auto& s : sections_) n += s.keys.size();
  return n;
}

}  // namespace dw
