#include "files/FileDescriptor.h"

#include <cstdio>

#include "core/EditorState.h"

namespace dw {

const char kDescriptorMarker[] = "Dotwerk FileDescriptor: Do not edit or move";

namespace {
uint8_t g_codes[2] = {'Y', 'Y'};

int BitOrderValue(int32_t bit) {
  switch (bit) {
    case 1032: return 1;  // Left
    case 1029: return 2;  // Top
    case 1030: return 3;  // Bottom
    default: return 0;    // Right
  }
}
}  // namespace

uint8_t ComputeDescriptorCode(const DescriptorFormat& f) {
  bool textType = f.fileFormat == 1026 || f.fileFormat == 1027 || f.fileFormat == 1028;
  bool group = f.viewMode != 10097 && !f.singleElementSave;
  if (f.fileFormat == 1027) return group ? 'Y' : 'X';
  // A single Ver. 1 icon gets a letter of its own, so that reading tells it
  // apart from a C Source icon with Vertical bytes and Right bit order.
  if (f.fileFormat == 1028) return group ? 'Z' : 'U';
  int code = textType ? 'E' : 4;
  if (group) code += 8;
  if (f.byteOrganization == 1033) code += 4;
  code += BitOrderValue(f.bitOrganization);
  return static_cast<uint8_t>(code);
}

void BuildFileDescriptor() {
  if (!g_ed) return;
  const DataSet& s = g_ed->Cur();
  DescriptorFormat f;
  f.fileFormat = s.bwFileFormat;
  f.viewMode = s.viewMode;
  f.byteOrganization = s.byteOrganization;
  f.bitOrganization = s.bitOrganization;
  g_codes[g_ed->currentDataSet & 1] = ComputeDescriptorCode(f);
}

uint8_t StoredDescriptorCode(int set) { return g_codes[set & 1]; }
void SetStoredDescriptorCode(int set, uint8_t code) { g_codes[set & 1] = code; }

std::string ComposeBwDescriptorLine(const DescriptorLine& d) {
  char buf[4200];
  std::string line;
  bool fontType = d.fileFormat == 1027 || d.fileFormat == 1028;
  if (d.group) {
    if (d.noCharInElement && !fontType)
      std::snprintf(buf, sizeof buf, "/*%c A 8 %d %d %d", d.code, static_cast<int>(d.width),
                    static_cast<int>(d.height), static_cast<int>(d.countX));
    else
      std::snprintf(buf, sizeof buf, "/*%c 8 %d %d %d", d.code, static_cast<int>(d.width),
                    static_cast<int>(d.height), static_cast<int>(d.countX));
    line = buf;
    if (d.useCodePage) {
      std::snprintf(buf, sizeof buf, "  CP<%s>", d.codePageTitle.c_str());
      line += buf;
    }
    if (fontType)
      std::snprintf(buf, sizeof buf, " . %s[%d]={  %s   %s */\r\n", d.tableName.c_str(),
                    static_cast<int>(d.elementCount), d.title.c_str(), kDescriptorMarker);
    else
      std::snprintf(buf, sizeof buf, "  %s   %s */\r\n", d.title.c_str(), kDescriptorMarker);
    line += buf;
  } else {
    if (d.noCharInElement && d.fileFormat == 1026)
      std::snprintf(buf, sizeof buf, "/*%c A 8  %s   %s */\r\n", d.code, d.title.c_str(), kDescriptorMarker);
    else
      std::snprintf(buf, sizeof buf, "/*%c 8  %s   %s */\r\n", d.code, d.title.c_str(), kDescriptorMarker);
    line = buf;
  }
  return line;
}

void DecodeLayoutValue(int value, int32_t* byteOrganization, int32_t* bitOrganization) {
  static const int32_t kBits[4] = {1031, 1032, 1029, 1030};  // Right, Left, Top, Bottom
  value &= 7;
  *byteOrganization = value >= 4 ? 1033 : 1034;
  *bitOrganization = kBits[value & 3];
}

bool DecodeLegacyBinaryCode(int code, int32_t* byteOrganization, int32_t* bitOrganization) {
  // Headerless files of old versions: their own numbering, 2 is Vertical/Top.
  static const int32_t kTable[4][2] = {{1034, 1031}, {1034, 1032}, {1033, 1029}, {1033, 1030}};
  if (code < 0 || code > 3) return false;
  *byteOrganization = kTable[code][0];
  *bitOrganization = kTable[code][1];
  return true;
}

BwCodeInfo DecodeBwCode(uint8_t c) {
  BwCodeInfo r;
  // The letters of older files, which carry no fields.
  static const int32_t kLegacy[4][2] = {{1033, 1031}, {1033, 1032}, {1034, 1029}, {1034, 1030}};
  if (c >= 'A' && c <= 'D') {
    r.kind = BW_CODE_LEGACY;
    r.byteOrganization = kLegacy[c - 'A'][0];
    r.bitOrganization = kLegacy[c - 'A'][1];
    return r;
  }
  if (c == 'X' || c == 'Y' || c == 'Z' || c == 'U') {
    r.kind = c == 'X' || c == 'U' ? BW_CODE_SINGLE : BW_CODE_GROUP;
    r.fileFormat = c == 'Z' || c == 'U' ? 1028 : 1027;
    return r;
  }
  if (c >= 'E' && c <= 'L') {
    r.kind = BW_CODE_SINGLE;
    DecodeLayoutValue(c - 'E', &r.byteOrganization, &r.bitOrganization);
    return r;
  }
  if (c >= 'M' && c <= 'T') {
    r.kind = BW_CODE_GROUP;
    DecodeLayoutValue(c - 'M', &r.byteOrganization, &r.bitOrganization);
    return r;
  }
  // 'U', 'V', 'W' and everything else: not a black-and-white code.
  return r;
}

namespace {
int SkipBlanks(IByteSource& src) {
  int c = src.Next();
  while (c == ' ' || c == '\t') c = src.Next();
  return c;
}

// A decimal number after blanks; ends at the first non-digit (given back).
bool ReadNumber(IByteSource& src, int32_t* value) {
  int c = SkipBlanks(src);
  int64_t v = 0;
  bool any = false;
  while (c >= '0' && c <= '9') {
    any = true;
    if (v < 100000000) v = v * 10 + (c - '0');
    c = src.Next();
  }
  if (c >= 0) src.Unget();
  *value = static_cast<int32_t>(v);
  return c >= 0 || any;
}
}  // namespace

void ReadDescriptorFields(IByteSource& src, bool group, DescriptorFields* out) {
  *out = DescriptorFields();
  int c = SkipBlanks(src);
  if (c < 0) return;
  if (c > '9') {
    out->noCharInElement = true;
    c = SkipBlanks(src);
    if (c < 0) return;
  }
  // c is the cells-per-byte figure, read and not used.
  if (!group) {
    out->complete = true;
    return;
  }
  if (!ReadNumber(src, &out->width) || !ReadNumber(src, &out->height) || !ReadNumber(src, &out->countX))
    return;
  c = SkipBlanks(src);
  out->complete = true;
  if (c == 'C') {
    int p = src.Next();
    int lt = p == 'P' ? src.Next() : -1;
    if (p == 'P' && lt == '<') {
      std::string name;
      for (c = src.Next(); c >= 0 && c != '>' && c != '\r' && c != '\n'; c = src.Next())
        if (name.size() < static_cast<size_t>(kPathSlot - 1)) name += static_cast<char>(c);
      out->hasCodePageRef = true;
      out->codePageName = name;
      return;
    }
    // Not a reference: the symbol reader takes the rest of the line.
    if (lt >= 0) src.Unget();
    else if (p >= 0) src.Unget();
    return;
  }
  if (c >= 0) src.Unget();
}

}  // namespace dw
