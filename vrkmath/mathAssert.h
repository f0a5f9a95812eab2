// The assertion report of the alignment engine: a state that should not occur is written to
// the library log as "*** error in <source>, line <line>" at level 2, and the caller goes on
// with its failure result.
#pragma once

// The source name of the curve elements' reports.
inline constexpr const char* kMathCurvesSource = "vrkmath/mathCurves";

// Writes the assertion report of `source` (e.g. "vrkmath/mathCurves") and its fixed `line`
// (ReportAssertion of files/logFile.h).
// Only failure paths call it.
void ReportAlntAssertion(const char* source, int line);

// The curve elements' report: ReportAlntAssertion("vrkmath/mathCurves", line).
void ReportCurveAssertion(int line);
