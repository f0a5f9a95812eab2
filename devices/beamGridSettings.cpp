#include "devices/beamGridSettings.h"

#include <atomic>

namespace BeamGridSettings {

namespace {
std::atomic<bool> sensorPortSet{false};
}

void SensorPortIsSet(bool set) { sensorPortSet.store(set); }
bool IsSensorPortSet() { return sensorPortSet.load(); }

} // namespace BeamGridSettings
