// The process-wide flag of the laser-zone screens.
#include "devices/beamGridSettings.h"

#include <gtest/gtest.h>

TEST(BeamGridSettings, FalseAtStartThenStored)
{
    EXPECT_FALSE(BeamGridSettings::IsSensorPortSet());
    BeamGridSettings::SensorPortIsSet(true);
    EXPECT_TRUE(BeamGridSettings::IsSensorPortSet());
    BeamGridSettings::SensorPortIsSet(false);
    EXPECT_FALSE(BeamGridSettings::IsSensorPortSet());
}
