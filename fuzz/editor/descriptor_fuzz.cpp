// The descriptor line that opens a symbol file: arbitrary bytes through the
// code decoder and the field reader (no crash, only meaningful settings,
// bounded names), and a line composed from fields the input picks, which
// the reader must give back field for field and whose code must decode to
// the format it was computed from.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/EditorState.h"
#include "FuzzInput.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"

using namespace dw;


namespace {

struct Input : FuzzInput {
  Input(const uint8_t* data, size_t size) : FuzzInput{data, size} {}
  // A file title as Windows allows it (no '<', '>', '*' or line breaks,
  // none of which can reach a descriptor through a saved file name).
  std::string Title(size_t most) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._- ";
    size_t len = Take(1) % (most + 1);
    std::string s;
    for (size_t i = 0; i < len; ++i) s += kChars[Take(1) % (sizeof kChars - 1)];
    return s;
  }
};

void CheckDecoded(const BwCodeInfo& i) {
  if (i.kind == BW_CODE_INVALID) return;
  Check(i.fileFormat >= 1026 && i.fileFormat <= 1028);
  Check(i.byteOrganization == 1033 || i.byteOrganization == 1034);
  Check(i.bitOrganization >= 1029 && i.bitOrganization <= 1032);
}

void CheckFields(const DescriptorFields& f) {
  Check(f.width >= 0 && f.height >= 0 && f.countX >= 0);
  Check(f.codePageName.size() < static_cast<size_t>(kPathSlot));
  Check(!f.hasCodePageRef || f.complete);
}

void ComposedLine(Input in) {
  static const int32_t kFormats[] = {1026, 1027, 1028};
  static const int32_t kBits[] = {1029, 1030, 1031, 1032};
  uint32_t sel = in.Take(1);
  DescriptorFormat f;
  f.fileFormat = kFormats[sel % 3];
  f.viewMode = (sel >> 2) & 1 ? 10097 : 10099;
  f.byteOrganization = (sel >> 3) & 1 ? 1033 : 1034;
  f.bitOrganization = kBits[(sel >> 4) & 3];
  f.singleElementSave = (sel >> 6) & 1;
  const bool group = f.viewMode != 10097 && !f.singleElementSave;
  const bool fontType = f.fileFormat != 1026;

  const uint8_t code = ComputeDescriptorCode(f);
  BwCodeInfo info = DecodeBwCode(code);
  CheckDecoded(info);
  Check(info.kind == (group ? BW_CODE_GROUP : BW_CODE_SINGLE));
  Check(info.fileFormat == f.fileFormat);
  if (!fontType) {
    Check(info.byteOrganization == f.byteOrganization);
    Check(info.bitOrganization == f.bitOrganization);
  }

  DescriptorLine d;
  d.code = code;
  d.group = group;
  d.fileFormat = f.fileFormat;
  d.noCharInElement = (sel >> 7) & 1;
  d.width = 1 + static_cast<int32_t>(in.Take(2) % kMaxPictureWidth);
  d.height = 1 + static_cast<int32_t>(in.Take(2) % kMaxPictureHeight);
  d.countX = 1 + static_cast<int32_t>(in.Take(2) % kMaxPictureWidth);
  d.elementCount = 1 + static_cast<int32_t>(in.Take(3) % kMaxElements);
  d.useCodePage = in.Take(1) & 1;
  d.codePageTitle = in.Title(200);
  d.title = in.Title(200);
  d.tableName = "t";
  const std::string line = ComposeBwDescriptorLine(d);
  Check(line.size() > 7 && line.compare(0, 2, "/*") == 0 && static_cast<uint8_t>(line[2]) == code);
  Check(line.compare(line.size() - 4, 4, "*/\r\n") == 0);

  MemoryByteSource src(line.data() + 3, line.size() - 3);
  DescriptorFields r;
  ReadDescriptorFields(src, group, &r);
  CheckFields(r);
  Check(r.complete);
  Check(r.noCharInElement == (d.noCharInElement && !fontType));
  if (group) {
    Check(r.width == d.width && r.height == d.height && r.countX == d.countX);
    Check(r.hasCodePageRef == d.useCodePage);
    if (d.useCodePage) Check(r.codePageName == d.codePageTitle);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every byte as a code letter.
  for (size_t i = 0; i < size && i < 256; ++i) CheckDecoded(DecodeBwCode(data[i]));
  for (int v = 0; v < 8; ++v) {
    int32_t b = 0, o = 0;
    DecodeLayoutValue(size ? data[0] + v : v, &b, &o);
    Check((b == 1033 || b == 1034) && o >= 1029 && o <= 1032);
  }

  // The raw bytes as the fields after a single and a group code.
  for (int group = 0; group < 2; ++group) {
    MemoryByteSource src(data, size);
    DescriptorFields f;
    ReadDescriptorFields(src, group != 0, &f);
    CheckFields(f);
  }

  ComposedLine(Input{data, size});
  return 0;
}
