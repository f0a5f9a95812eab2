#include "vrkmath/mathAssert.h"

#include "files/logFile.h"

void ReportAlntAssertion(const char* source, int line)
{
    ReportAssertion(source, line);
}

void ReportCurveAssertion(int line)
{
    ReportAssertion(kMathCurvesSource, line);
}
