// The descriptor line that opens every symbol file: the code byte that packs
// the black-and-white layout, the composed line, and the decoding of both
// back into format settings. All pure except BuildFileDescriptor, which
// stores the current set's code.
#ifndef DOTWERK_FILES_FILEDESCRIPTOR_H
#define DOTWERK_FILES_FILEDESCRIPTOR_H

#include <cstdint>
#include <string>

#include "files/FileIo.h"

namespace dw {

extern const char kDescriptorMarker[];  // "Dotwerk FileDescriptor: Do not edit or move"

// The format settings the code is made of.
struct DescriptorFormat {
  int32_t fileFormat = 1027;        // BWFileFormat 1024..1028
  int32_t viewMode = 10099;         // ShowIconOrGroup
  int32_t byteOrganization = 1034;  // 1033 Vertical, 1034 Horizontal
  int32_t bitOrganization = 1031;   // 1029 Top, 1030 Bottom, 1031 Right, 1032 Left
  bool singleElementSave = false;
};

uint8_t ComputeDescriptorCode(const DescriptorFormat& f);

// Computes the current set's code from its format and keeps it.
void BuildFileDescriptor();
// The code kept for set s (0 or 1).
uint8_t StoredDescriptorCode(int set);
void SetStoredDescriptorCode(int set, uint8_t code);

// What goes into a black-and-white descriptor line.
struct DescriptorLine {
  uint8_t code = 'M';
  bool group = true;  // group and no single-element save
  int32_t fileFormat = 1026;
  bool noCharInElement = false;
  int32_t width = 8, height = 8, countX = 1, elementCount = 1;
  bool useCodePage = false;
  std::string codePageTitle;
  std::string title;      // the file name without its directory
  std::string tableName;  // the array name of the library font types
};
std::string ComposeBwDescriptorLine(const DescriptorLine& d);

// Decoding of a black-and-white code letter (one table for the letters,
// separate from the binary codes).
enum BwCodeKind { BW_CODE_INVALID = 0, BW_CODE_LEGACY, BW_CODE_SINGLE, BW_CODE_GROUP };
struct BwCodeInfo {
  BwCodeKind kind = BW_CODE_INVALID;
  int32_t fileFormat = 1026;
  int32_t byteOrganization = 1034;
  int32_t bitOrganization = 1031;
};
BwCodeInfo DecodeBwCode(uint8_t code);

// Layout from a value 0..7 (below 4 Horizontal, else Vertical; then Right,
// Left, Top, Bottom): the letters E..T and the binary codes 4..19.
void DecodeLayoutValue(int value, int32_t* byteOrganization, int32_t* bitOrganization);
// The legacy headerless binary codes 0..3 (a table of their own).
bool DecodeLegacyBinaryCode(int code, int32_t* byteOrganization, int32_t* bitOrganization);

// The fields after a single or group code, read byte by byte from a source
// (`next` returns the next byte or -1; `unget` gives one back).
struct DescriptorFields {
  bool noCharInElement = false;
  int32_t width = 0, height = 0, countX = 0;
  bool hasCodePageRef = false;
  std::string codePageName;
  bool complete = false;  // the end of the file did not cut the fields short
};
void ReadDescriptorFields(IByteSource& src, bool group, DescriptorFields* out);

}  // namespace dw

#endif
