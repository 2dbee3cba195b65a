// Dialog templates built in memory, so the window tests need no resource
// script: a caption, a font, and a list of controls by class atom.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DialogTemplate {
public:
  enum Atom : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, ListBox = 0x83, ComboBox = 0x85 };

  DialogTemplate(const char* caption, DWORD style, short cx, short cy) {
    Add32(style | DS_SETFONT);
    Add32(0);
    m_countAt = m_words.size();
    Add16(0);  // item count, filled in as items are added
    Add16(10), Add16(10), Add16(static_cast<WORD>(cx)), Add16(static_cast<WORD>(cy));
    Add16(0);  // no menu
    Add16(0);  // the standard dialog class
    AddText(caption);
    Add16(8);
    AddText("MS Shell Dlg");
  }

  DialogTemplate& Item(Atom atom, WORD id, DWORD style, const char* text, short x, short y, short cx,
                       short cy) {
    Begin(id, style, x, y, cx, cy);
    Add16(0xFFFF), Add16(atom);
    return End(text);
  }
  // A control of a class named in full ("SysDateTimePick32").
  DialogTemplate& Item(const char* className, WORD id, DWORD style, const char* text, short x, short y,
                       short cx, short cy) {
    Begin(id, style, x, y, cx, cy);
    AddText(className);
    return End(text);
  }

  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

private:
  void Begin(WORD id, DWORD style, short x, short y, short cx, short cy) {
    while (m_words.size() % 2 != 0) Add16(0);  // items start on a DWORD
    Add32(style | WS_CHILD | WS_VISIBLE);
    Add32(0);
    Add16(static_cast<WORD>(x)), Add16(static_cast<WORD>(y)), Add16(static_cast<WORD>(cx)),
        Add16(static_cast<WORD>(cy));
    Add16(id);
  }
  DialogTemplate& End(const char* text) {
    AddText(text);
    Add16(0);  // no creation data
    ++m_words[m_countAt];
    return *this;
  }
  void Add16(WORD w) { m_words.push_back(w); }
  void Add32(DWORD d) { Add16(LOWORD(d)), Add16(HIWORD(d)); }
  void AddText(const char* s) {
    for (const char* p = s; *p != '\0'; ++p) Add16(static_cast<WORD>(static_cast<unsigned char>(*p)));
    Add16(0);
  }
  std::vector<WORD> m_words;
  size_t m_countAt = 0;
};
