#include "devices/beamGridHeights.h"

#include <cmath>

namespace BeamGridParams {

namespace {

double signOf(double h) { return h < 0.0 ? -1.0 : 1.0; }

// The vertical component of a slant height; 0 when |h| < 0.083 (see the header).
double verticalOfSlant(double h)
{
    const double square = h * h - kSlantRimRadius * kSlantRimRadius;
    return signOf(h) * std::sqrt(square > 0.0 ? square : 0.0);
}

} // namespace

double ComputeSensorLenseHeight(double height)
{
    return height - kSensorLensDrop;
}

double ComputeTransmitterLaserHeight(double height, bool vertical)
{
    return (vertical ? height : verticalOfSlant(height)) + kLaserAboveMark;
}

double ComputeTransmitterMarkHeight(double height)
{
    return height - kLaserAboveMark;
}

double AddOffsetToMarkHeight(double height, double offset, bool vertical)
{
    if (vertical)
        return height + offset;
    const double v = verticalOfSlant(height) + offset;
    return signOf(height) * std::sqrt(v * v + kSlantRimRadius * kSlantRimRadius);
}

} // namespace BeamGridParams
