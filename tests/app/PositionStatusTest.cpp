// The status line and the degree-minute-second texts.

#include "app/PositionStatus.h"

#include "res/Resources.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace stavo;
using platform::RGB;

TEST(PositionStatus, TextAndColourByQuality)
{
    res::RegisterStrings();
    const struct {
        unsigned quality;
        bool gst;
        int diffSource;
        bool login;
        const char* text;
        platform::COLORREF colour;
    } cases[] = {
        {0, false, 0, false, "正在搜星...", RGB(255, 0, 0)},
        {0, true, 2, true, "正在搜星...", RGB(255, 0, 0)},
        {1, false, 0, false, "单点定位", RGB(0, 0, 255)},
        {1, true, 0, false, "单点定位H:0.6;V:0.8;RMS:0.680", RGB(0, 0, 255)},
        {2, true, 2, false, "CORS差分H:0.6;V:0.8;RMS:0.680", RGB(255, 128, 0)},
        {2, true, 1, false, "WAAS差分H:0.6;V:0.8;RMS:0.680", RGB(255, 128, 0)},
        {2, false, 2, false, "CORS差分定位", RGB(255, 128, 0)},
        {2, false, 0, false, "WAAS差分定位", RGB(255, 128, 0)},
        {3, false, 0, false, "RTK固定", RGB(192, 192, 0)},
        {4, false, 0, false, "RTK固定", RGB(192, 192, 0)},
        {4, true, 0, false, "固定H:0.6;V:0.8;RMS:0.680", RGB(192, 192, 0)},
        {5, false, 0, false, "RTK浮动", RGB(255, 255, 0)},
        {5, true, 0, false, "浮动H:0.6;V:0.8;RMS:0.680", RGB(255, 255, 0)},
        {6, true, 0, false, "盲区计算", RGB(0, 0, 0)},
        {7, false, 0, false, "基准站固定", RGB(0, 0, 255)},
        {8, false, 0, false, "仿真模式", RGB(255, 0, 0)},
        {9, false, 0, false, "WAAS模式", RGB(255, 0, 0)},
        {10, false, 0, false, "UNKNOWN_STATUS", RGB(255, 0, 0)},
        {200, true, 0, false, "UNKNOWN_STATUS", RGB(255, 0, 0)},
        {255, false, 0, false, "UNKNOWN_STATUS", RGB(255, 0, 0)},
        // A caster login under way replaces single and differential texts, not RTK ones.
        {1, true, 2, true, "正在登陆CORS服务器...", RGB(255, 128, 0)},
        {2, false, 2, true, "正在登陆CORS服务器...", RGB(255, 128, 0)},
        {4, true, 2, true, "固定H:0.6;V:0.8;RMS:0.680", RGB(192, 192, 0)},
        {5, false, 2, true, "RTK浮动", RGB(255, 255, 0)},
    };
    for (const auto& c : cases) {
        PositionStatusInput in;
        in.quality = c.quality;
        in.hasPrecision = c.gst;
        in.sigmaLat = 0.36; // with 0.48: H = 0.6
        in.sigmaLon = 0.48;
        in.sigmaHeight = 0.8;
        in.diffSource = c.diffSource;
        in.loginPending = c.login;
        const StatusLine s = ComposePositionStatus(in);
        EXPECT_EQ(s.text, QString::fromUtf8(c.text)) << c.quality;
        EXPECT_EQ(s.colour, c.colour) << c.quality;
    }
}

TEST(PositionStatus, PrecisionIsRoundedToSinglePrecisionStepByStep)
{
    const Precision p = ComputePrecision(0.012, 0.009, 0.025);
    EXPECT_EQ(p.h, float(0.015));
    EXPECT_EQ(p.v, float(0.025));
    EXPECT_EQ(p.rms, float(0.68 * std::sqrt(double(p.h) * double(p.h) + double(p.v) * double(p.v))));
    res::RegisterStrings();
    PositionStatusInput in;
    in.quality = 4;
    in.hasPrecision = true;
    in.sigmaLat = 0.012;
    in.sigmaLon = 0.009;
    in.sigmaHeight = 0.025;
    EXPECT_EQ(ComposePositionStatus(in).text, QStringLiteral("固定H:0.0;V:0.0;RMS:0.020"));
}

TEST(FormatDms, DegreesMinutesSecondsWithTheirSigns)
{
    const struct {
        double degrees;
        const char* text;
    } cases[] = {
        {31.5, "31°30'0.0000\""},
        {121.123456, "121°07'24.4416\""},
        {-0.5, "0°-30'-0.0000\""},
        {0.0, "0°00'0.0000\""},
        {-31.2304, "-31°-13'-49.4400\""},
        {45.0000000001, "45°00'0.0000\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDms(c.degrees), QString::fromUtf8(c.text)) << c.degrees;
}

TEST(FormatDms, ValuesNoReceiverCanSendAreRefused)
{
    for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY), 1e300, -1e18})
        EXPECT_EQ(FormatDms(bad), QStringLiteral("--")) << bad;
}
