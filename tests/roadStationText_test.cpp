// The road tool's station text: "n+rest" with the remainder padded to the station unit, and the
// parser of typed stations with its refusals and regions.
#include "road/roadStationText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// Each case names the text the earlier formatter (the literal value-text function) wrote
// wrongly for surveyors: "2+50.00" for 2050, "0+1000.00" for a remainder that rounds up to the
// unit, "-0+-90.00" style signs.
TEST(RoadStationText, PadsTheRemainderToTheUnit)
{
    struct Case { double station, unit; int decimals; const char* text; const char* reason; };
    const Case cases[] = {
        {2050.0, 1000.0, 2, "2+050.00", "was 2+50.00"},
        {1004.74, 1000.0, 2, "1+004.74", "was 1+4.74"},
        {19104.51, 100.0, 2, "191+04.51", "100 ft stations: two digits"},
        {10000.0, 100.0, 2, "100+00.00", "a whole station"},
        {999.996, 1000.0, 2, "1+000.00", "a remainder that rounds to the unit (was 0+1000.00)"},
        {1999.9999, 1000.0, 3, "2+000.000", "rounding to three decimals"},
        {-90.0, 1000.0, 2, "-0+090.00", "negative stations carry one leading minus"},
        {-1090.5, 1000.0, 2, "-1+090.50", "negative beyond a whole station"},
        {-0.001, 1000.0, 2, "0+000.00", "rounds to zero: no minus sign"},
        {0.0, 1000.0, 2, "0+000.00", "zero"},
        {1320.123456, 1000.0, 4, "1+320.1235", "--decimals 4"},
        {1320.4, 1000.0, 0, "1+320", "no decimals"},
        {55.5, 20.0, 1, "2+15.5", "a 20-unit station: remainder to 19, two digits"},
        {7.25, 1.0, 2, "7+0.25", "unit 1: one digit"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoadStationText(c.station, c.unit, c.decimals), c.text) << c.reason;
    EXPECT_EQ(RoadStationText(NAN, 1000.0, 2), "?");
}

TEST(RoadStationText, ParsesNumbersAndStationsWithRegions)
{
    struct Case { const char* text; double unit; double station; int region; };
    const Case cases[] = {
        {"1320.5", 1000.0, 1320.5, 0},       {"1+320.5", 1000.0, 1320.5, 0},   {"-0+5", 1000.0, -5.0, 0},
        {"-5", 1000.0, -5.0, 0},             {"191+04.51", 100.0, 19104.51, 0}, {"0+675.00@3", 1000.0, 675.0, 3},
        {"675@3", 1000.0, 675.0, 3},         {" 2+050 ", 1000.0, 2050.0, 0},   {"+12", 1000.0, 12.0, 0},
        {"0+999.999", 1000.0, 999.999, 0},   {".5", 1000.0, 0.5, 0},
    };
    for (const Case& c : cases) {
        double s = -1.0;
        int region = -1;
        std::string why;
        ASSERT_TRUE(RoadParseStation(c.text, c.unit, s, region, why)) << c.text << ": " << why;
        EXPECT_NEAR(s, c.station, 1e-9) << c.text;
        EXPECT_EQ(region, c.region) << c.text;
    }
}

TEST(RoadStationText, RefusesWhatASurveyorWouldNotMean)
{
    struct Case { const char* text; const char* reasonPart; };
    const Case cases[] = {
        {"1+2+3", "one '+'"},          {"1+-5", "one sign"},        {"0+1500", "not below the station unit"},
        {"0+1000", "not below"},       {"abc", "not a station"},    {"0x10", "not a station"},
        {"inf", "not a station"},      {"nan", "not a station"},    {"1e3", "not a station"},
        {"1.5+20", "whole stations"},  {"", "not a station"},       {"675@0", "region"},
        {"675@x", "region"},           {"675@", "region"},          {"--5", "not a station"},
    };
    for (const Case& c : cases) {
        double s = 7.0;
        int region = 7;
        std::string why;
        EXPECT_FALSE(RoadParseStation(c.text, 1000.0, s, region, why)) << c.text;
        EXPECT_NE(why.find(c.reasonPart), std::string::npos) << c.text << ": " << why;
        EXPECT_TRUE(s == 7.0 && region == 7) << c.text << ": outputs untouched";
    }
}

// Every text the formatter writes reads back as its station (to its decimals).
TEST(RoadStationText, RoundTrips)
{
    for (double unit : {1000.0, 100.0, 20.0}) {
        for (double v = -2345.678; v < 5000.0; v += 97.3137) {
            double s;
            int region;
            std::string why;
            const std::string text = RoadStationText(v, unit, 3);
            ASSERT_TRUE(RoadParseStation(text, unit, s, region, why)) << text << ": " << why;
            EXPECT_NEAR(s, v, 0.0005 + 1e-9) << text;
        }
    }
}

} // namespace
