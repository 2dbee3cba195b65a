// The timing report decoders in the i686 build give the values and texts of
// the native build: the fix's scale factors and the translation goldens.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/CConverterEngine.h"
#include "monitor/link/ConverterTestSupport.h"
#include "model/CModel.h"
#include "protocol/QbinTimingReports.h"

namespace {

void Put16(std::vector<BYTE>& v, uint32_t x)
{
    v.push_back(static_cast<BYTE>(x >> 8));
    v.push_back(static_cast<BYTE>(x));
}

void Put32(std::vector<BYTE>& v, uint32_t x)
{
    Put16(v, x >> 16);
    Put16(v, x & 0xFFFF);
}

void PutDouble(std::vector<BYTE>& v, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    Put32(v, static_cast<uint32_t>(bits >> 32));
    Put32(v, static_cast<uint32_t>(bits));
}

TEST(QbinTimingReportsWin32, LastFixScalesAsNatively)
{
    std::vector<BYTE> d = {0x20, 0};
    Put16(d, 200);                     // east velocity word
    Put16(d, 0);
    Put16(d, 0);
    Put32(d, 1000);                    // ms
    Put32(d, 0);                       // latitude
    Put32(d, 0x80000001u);             // longitude word 2^31 + 1
    Put32(d, 0);                       // height
    d.push_back(0);                    // fine velocity scale
    d.push_back(0);
    d.push_back(1);
    d.push_back(0);
    d.push_back(8);
    d.push_back(18);
    Put16(d, 2100);
    d.resize(56, 0);

    CModel model;
    ASSERT_TRUE(DecodeQbinTimingReport(d.data(), static_cast<int>(d.size()), &model, nullptr));
    NavState n;
    model.GetNavState(n);
    EXPECT_DOUBLE_EQ(n.velEast, 0.9999999776482582);
    EXPECT_NEAR(n.longitude, -3.14159265212689, 1e-12);
    EXPECT_EQ(n.week, 2100);
}

TEST(QbinTimingReportsWin32, TranslationGoldens)
{
    CModel model;
    ConverterTestRig rig;
    CConverterEngine& engine = rig.engine;
    ASSERT_EQ(rig.OpenTranslation(&model), 0);

    std::vector<BYTE> pps = {0x4A, 1, 1, 0};
    PutDouble(pps, 0.25);
    Put32(pps, 0x43960000u);  // 300.0f
    ASSERT_TRUE(DecodeQbinTimingReport(pps.data(), static_cast<int>(pps.size()), &model, &engine));

    std::vector<BYTE> ab = {0xAB};
    Put32(ab, 345600);
    Put16(ab, 2100);
    Put16(ab, 18);
    const BYTE rest[] = {0x03, 30, 15, 12, 10, 12};
    ab.insert(ab.end(), rest, rest + sizeof rest);
    Put16(ab, 2026);
    ASSERT_TRUE(DecodeQbinTimingReport(ab.data(), static_cast<int>(ab.size()), &model, &engine));

    EXPECT_EQ(rig.Translation(),
              "\r\nPPS Configuration:"
              "\r\n   Switch:   enabled"
              "\r\n   Timebase: UTC"
              "\r\n   Polarity: positive"
              "\r\n   Offset:   0.25"
              "\r\n   Bias unc: 300"
              "\r\n8FAB: TOW: 345600  WN: 2100"
              "\r\n      2026/12/10  12:15:30"
              "\r\n      UTC Offset: 18 s   Timing flag: 00000011");
}

} // namespace
