// An ini file held in memory with the semantics of the platform's private
// profile calls as the editor uses them: section and key names compare
// without case, a missing key is reported missing, values are kept as text.
// Host tests, the fuzzer and Reset to Defaults use it in place of a file.
#ifndef DOTWERK_CORE_MEMORYPROFILE_H
#define DOTWERK_CORE_MEMORYPROFILE_H

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Services.h"

namespace dw {

class MemoryProfile : public IProfile {
 public:
  MemoryProfile() {}
  // Parses ini text: "[section]" lines, "key=value" lines; anything else is
  // ignored, as the platform ignores it. Values are trimmed of surrounding
  // blanks; a key seen twice in a section keeps its first value.
  explicit MemoryProfile(const std::string& text) { Parse(text); }
  void Parse(const std::string& text);

  bool Get(const char* section, const char* key, std::string* value) override;
  void Write(const char* section, const char* key, const char* value) override;
  std::vector<std::string> Keys(const char* section) override;

  // Every Write in call order (section, key, value), for tests.
  struct WriteRecord {
    std::string section, key, value;
  };
  const std::vector<WriteRecord>& Writes() const { return writes_; }
  void ClearWrites() { writes_.clear(); }
  std::string ToText() const;
  size_t KeyCount() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
    std::unordered_map<std::string, size_t> index;  // lower-case key -> position in keys
  };
  std::pair<std::string, std::string>* FindKey(Section& s, const char* key);
  std::unordered_map<std::string, size_t> sectionIndex_;  // lower-case name -> position
  Section* Find(const char* section, bool create);
  std::vector<Section> sections_;
  // The section last found, by the name exactly as asked (readers ask for
  // one section many times in a row).
  std::string lastName_;
  size_t lastSection_ = static_cast<size_t>(-1);
  std::vector<WriteRecord> writes_;
};

bool EqualNoCase(const std::string& a, const char* b);

}  // namespace dw

#endif
