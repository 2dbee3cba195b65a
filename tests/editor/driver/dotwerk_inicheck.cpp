// Checks a settings file against the settings table: every value of a key
// the table knows must lie in that key's valid range. Prints each value
// out of range and exits 1 when there is one.
//
//   dotwerk_inicheck FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/EditorState.h"
#include "core/MemoryProfile.h"
#include "core/SettingsTable.h"

using namespace dw;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::printf("cannot read %s\n", argv[1]);
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  MemoryProfile ini(text.str());
  EditorState& st = *CreateEditorState();
  st.metrics.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  st.metrics.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  st.metrics.iconWidth = GetSystemMetrics(SM_CXICON);
  st.metrics.iconHeight = GetSystemMetrics(SM_CYICON);
  int bad = 0, checked = 0;
  for (const SettingRow& row : SettingsTable()) {
    if (row.kind == SettingKind::Text || row.access == SettingAccess::WriteOnly) continue;
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      int n = row.count > 0 ? row.count : row.dynCount ? 256 : 1;
      for (int i = 0; i < n; ++i) {
        char sec[64], key[80];
        FormatSection(row, s, sec, sizeof sec);
        FormatKey(row, i, key, sizeof key);
        std::string v;
        if (!ini.Get(sec, key, &v)) continue;
        int32_t value = 0;
        ++checked;
        // A window size of 0 or less takes the layout's value: any positive
        // default stands in for it here.
        if (!ParseStoredInt(v.c_str(), &value) || ApplyRange(row, st, s, value, value > 0 ? value : 1) != value) {
          std::printf("out of range: [%s] %s=%s\n", sec, key, v.c_str());
          ++bad;
        }
      }
    }
  }
  std::printf("checked=%d\nbad=%d\n", checked, bad);
  return bad ? 1 : 0;
}
