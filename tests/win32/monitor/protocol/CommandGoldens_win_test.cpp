// Every command builder of the text and module protocols gives the same bytes
// in the i686 build as natively: the golden tables of the host tests, run
// again under Wine, catch printf-family and integer-width differences.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "monitor/protocol/KestoMonCommandGoldens.h"
#include "monitor/protocol/NmeaCommandGoldens.h"
#include "monitor/protocol/QopCommandGoldens.h"
#include "monitor/protocol/QtxtCommandGoldens.h"

namespace {

std::string Hex(const CByteArray& a)
{
    std::string s;
    char buf[4];
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
        snprintf(buf, sizeof buf, i ? " %02X" : "%02X", a[i]);
        s += buf;
    }
    return s;
}

std::string Text(const CByteArray& a)
{
    return std::string(reinterpret_cast<const char*>(a.GetData()), static_cast<size_t>(a.GetSize()));
}

// Runs one table; `show` turns the built bytes into the table's form.
template <typename Golden, typename Show>
void ExpectGoldens(const std::vector<Golden>& goldens, Show show)
{
    ASSERT_FALSE(goldens.empty());
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.call);
        CByteArray bytes;
        bytes.Add(0x55);  // a refused call must not leave this behind
        const bool built = g.build(bytes);
        EXPECT_EQ(built, !g.expected.empty());
        EXPECT_EQ(show(g, bytes), g.expected);
    }
}

TEST(CommandGoldensWin32, NmeaAndOtherMakers)
{
    ExpectGoldens(NmeaCommandGoldens(), [](const NmeaCommandGolden& g, const CByteArray& b) {
        return NmeaGoldenText(b, IsUbxGolden(g));
    });
}

TEST(CommandGoldensWin32, Qtxt)
{
    ExpectGoldens(QtxtCommandGoldens(), [](const QtxtCommandGolden&, const CByteArray& b) { return Text(b); });
}

TEST(CommandGoldensWin32, Qop)
{
    ExpectGoldens(QopCommandGoldens(), [](const QopCommandGolden&, const CByteArray& b) { return Hex(b); });
}

TEST(CommandGoldensWin32, KestoAndBootMonitor)
{
    ExpectGoldens(KestoMonCommandGoldens(), [](const KestoMonCommandGolden&, const CByteArray& b) { return Hex(b); });
}

}  // namespace
