// The assertion reports of the curve elements reach the library log with their source name and
// line. A program of its own: it starts the library log in a temporary device root and
// finishes it.
#include "deviceRootFixture.h"

#include "files/logFile.h"
#include "vrkmath/mathCurveIp.h"
#include "vrkmath/mathCurves.h"
#include "vrkmath/mathSpirals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <iterator>

namespace {

class CurveReports : public DeviceRootTest {
protected:
    // The text of every log file under the device root.
    std::string logText() const
    {
        std::string text;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root)) {
            if (entry.is_regular_file() && entry.path().extension() == ".log") {
                std::ifstream in(entry.path(), std::ios::binary);
                std::stringstream s;
                s << in.rdbuf();
                text += s.str();
            }
        }
        return text;
    }
};

} // namespace

TEST_F(CurveReports, EveryFailureNamesItsLine)
{
    InitLogging();
    double n, e, d, l;

    CCurveDataSegment invalidSegment;
    CCurveDataSegment segment;
    segment.setLen(100.0);
    CCurveDataSegment tinySegment;
    tinySegment.setLen(1e-7);
    CCurveDataArc unsetArc;
    CCurveDataArc arc;
    arc.SetElement(100.0, 200.0, true);
    CCurveSpiralTStoSC unsetSimple;
    CCurveSpiralTStoSC simple;
    simple.setLenAndR(100.0, 100.0, true);
    CCurveDataSpiral1R spiral1R;
    spiral1R.setLenAndR(100.0, 100.0, true, true);
    CCurveDataSpiral spiral;
    spiral.setLenAndR(100.0, 100.0, true, false);
    CCurveIp unplaced;
    unplaced.resetOrgAz();

    // Each failure in the order of the expected reports.
    EXPECT_NEAR(segment.getStepForDeviation(100.002, 0.01), -0.002, 1e-12);        // 49
    EXPECT_FALSE(invalidSegment.getPosAtLength(1.0, n, e));                        // 62
    EXPECT_FALSE(segment.getPosAtLength(100.002, n, e));                           // 68
    EXPECT_FALSE(tinySegment.getShortestDistAndCurveLen(1.0, 1.0, d, l));          // 173
    EXPECT_EQ(unsetArc.getCenterAngle().getRad(), 0.0);                            // 256
    EXPECT_EQ(unsetArc.getRadius(), 1e-6);                                         // 271
    EXPECT_NEAR(arc.getStepForDeviation(-0.002, 0.0), 100.002, 1e-12);             // 317
    EXPECT_FALSE(arc.getPosAtLength(-0.002, n, e));                                // 344
    EXPECT_FALSE(unsetSimple.getPosAtLength(1.0, n, e));                           // 625
    EXPECT_FALSE(simple.getPosAtLength(100.002, n, e));                            // 632
    spiral1R.getStepForDeviation(100.002, 0.01);                                   // 735
    EXPECT_EQ(spiral.getStepForDeviation(100.002, 0.01), 0.0);                     // 1380
    EXPECT_FALSE(spiral.getPosAtLength(100.002, n, e));                            // 1401
    EXPECT_FALSE(unplaced.getShortestDistAndCurveLen(1.0, 1.0, d, l));             // 1836

    // Queries that succeed report nothing.
    EXPECT_TRUE(spiral.getPosAtLength(50.0, n, e));
    EXPECT_TRUE(spiral.getShortestDistAndCurveLen(n + 1.0, e, d, l));
    EXPECT_TRUE(arc.getShortestDistAndCurveLen(0.0, 200.0, d, l));
    FinishLogging();

    const std::string text = logText();
    const int lines[] = {49, 62, 68, 173, 256, 271, 317, 344, 625, 632, 735, 1380, 1401, 1836};
    size_t from = 0;
    for (int line : lines) {
        const std::string report = "*** error in vrkmath/mathCurves, line " + std::to_string(line) + "\n";
        const size_t at = text.find(report, from);
        EXPECT_NE(at, std::string::npos) << "no report of line " << line << " in order; log:\n" << text;
        if (at != std::string::npos)
            from = at + report.size();
    }
    size_t reports = 0;
    for (size_t at = text.find("*** error in"); at != std::string::npos; at = text.find("*** error in", at + 1))
        ++reports;
    EXPECT_EQ(reports, std::size(lines)) << text;
}
