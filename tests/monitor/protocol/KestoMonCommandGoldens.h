#pragma once
// The exact bytes of every KESTO and monitor-mode command, shared by the host
// tests and the Win32 tests so both builds are held to the same frames. An
// empty expectation means the call builds nothing (returns false, array empty).
#include <functional>
#include <string>
#include <vector>

#include "framework/CArray.h"
#include "protocol/KestoProtocol.h"
#include "protocol/MonFrame.h"

struct KestoMonCommandGolden {
    const char* call;
    std::function<bool(CByteArray&)> build;
    std::string expected;  // bytes as upper-case hex pairs separated by blanks
};

inline std::vector<KestoMonCommandGolden> KestoMonCommandGoldens()
{
    return {
        {"BuildKestoRequest11", [](CByteArray& a) { return BuildKestoRequest11(a); }, "81 02 11 01 E9 82"},
        {"BuildKestoRequest16", [](CByteArray& a) { return BuildKestoRequest16(a); }, "81 02 16 02 E3 82"},
        {"BuildKestoRequest12", [](CByteArray& a) { return BuildKestoRequest12(a); }, "81 02 12 03 E6 82"},
        {"BuildKestoReset(1)", [](CByteArray& a) { return BuildKestoReset(a, 1); }, "81 03 02 F8 82"},
        {"BuildKestoReset(2)", [](CByteArray& a) { return BuildKestoReset(a, 2); }, "81 03 05 F5 82"},
        {"BuildKestoReset(3)", [](CByteArray& a) { return BuildKestoReset(a, 3); }, "81 03 01 F9 82"},
        {"BuildKestoReset(4)", [](CByteArray& a) { return BuildKestoReset(a, 4); }, "81 03 07 F3 82"},
        {"BuildKestoReset(5)", [](CByteArray& a) { return BuildKestoReset(a, 5); }, ""},
        {"BuildKestoReset(6)", [](CByteArray& a) { return BuildKestoReset(a, 6); }, ""},
        {"BuildKestoReset(7)", [](CByteArray& a) { return BuildKestoReset(a, 7); }, "81 03 03 F7 82"},
        {"BuildKestoReset(8)", [](CByteArray& a) { return BuildKestoReset(a, 8); }, "81 03 09 F1 82"},
        {"BuildKestoReset(0)", [](CByteArray& a) { return BuildKestoReset(a, 0); }, ""},
        {"BuildKestoSaveConfig", [](CByteArray& a) { return BuildKestoSaveConfig(a); }, "81 03 09 F1 82"},
        {"BuildMonVersionQuery", [](CByteArray& a) { return BuildMonVersionQuery(a); }, "02 00 76 00 76 03"},
        {"BuildMonMemoryRead(1, 0x1000)", [](CByteArray& a) { return BuildMonMemoryRead(a, 1, 0x1000); },
         "02 00 80 05 00 00 10 00 02 97 03"},
        {"BuildMonMemoryRead(1, 0xFFFFFFFF)", [](CByteArray& a) { return BuildMonMemoryRead(a, 1, 0xFFFFFFFFu); },
         "02 00 80 05 FF FF FF FF 02 83 03"},
        {"BuildMonMemoryRead(0, 0x1000)", [](CByteArray& a) { return BuildMonMemoryRead(a, 0, 0x1000); }, ""},
        {"BuildMonMemoryRead(2, 0x1000)", [](CByteArray& a) { return BuildMonMemoryRead(a, 2, 0x1000); }, ""},
    };
}
