// Height reductions of the laser-zone devices, all in metres.
//
// The sensor's lens lies 0.07 below its reference; a transmitter's laser lies 0.15 above its
// mark. A slant height is measured from the mark to the transmitter's rim, 0.083 from its
// axis: its vertical component is s * sqrt(h^2 - 0.083^2), s the sign of h (-1 when h < 0,
// else +1).
//
// Slant heights with |h| < 0.083 have no real vertical component. Here the vertical
// component of such a height is taken as 0 (the nearest real value): the laser height is
// 0.15 and an offset is added to a vertical component of 0.
#pragma once

namespace BeamGridParams {

constexpr double kSensorLensDrop = 0.07;      // reference to lens
constexpr double kLaserAboveMark = 0.15;      // mark to laser, on the transmitter's axis
constexpr double kSlantRimRadius = 0.083;     // axis to the rim where slant heights end

// The sensor's lens height: height - 0.07.
double ComputeSensorLenseHeight(double height);
// The laser height of a transmitter over its mark: height + 0.15 for a vertical height, the
// vertical component + 0.15 for a slant one. A slant 0.083 gives exactly 0.15.
double ComputeTransmitterLaserHeight(double height, bool vertical);
// The mark height below a laser height: height - 0.15.
double ComputeTransmitterMarkHeight(double height);
// A mark height raised by `offset`: height + offset for a vertical height. For a slant
// height, the slant height whose vertical component is the raised one: with v the vertical
// component plus offset, s * sqrt(v^2 + 0.083^2), with the sign s of `height` (not of v).
// With offset 0 a slant height |h| >= 0.083 comes back within 1e-12.
double AddOffsetToMarkHeight(double height, double offset, bool vertical);

} // namespace BeamGridParams
