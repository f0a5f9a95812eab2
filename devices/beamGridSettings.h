// BeamGridSettings: one process-wide flag of the laser-zone screens, whether the sensor's
// serial port has been set. False at start; safe to read and write from any thread.
#pragma once

namespace BeamGridSettings {

void SensorPortIsSet(bool set);
bool IsSensorPortSet();

} // namespace BeamGridSettings
