#include "support/MemoryPreferences.h"
#include "trade/TravelSettings.h"

#include <gtest/gtest.h>

namespace skarvel::trade {
namespace {

// Stored in thousandths; a value out of its range or not a number is the default again.
TEST(TravelSettings, AreStoredAndReadBackWithinTheirRanges) {
    test::MemoryPreferences preferences;
    EXPECT_EQ(readTravelSettings(preferences), TravelSettings{});
    TravelSettings changed{1900, 2.5, 12, 8, 4, true};
    writeTravelSettings(preferences, changed);
    EXPECT_EQ(preferences.values.at("TravelLaneEntry").value, 2500U);
    EXPECT_EQ(readTravelSettings(preferences), changed);
    preferences.values["TravelJump"] = StoredValue{true, 4000000000U, {}};
    preferences.values["TravelDock"] = StoredValue{false, 0, "soon"};
    const TravelSettings read = readTravelSettings(preferences);
    EXPECT_EQ(read.jumpSeconds, TravelSettings{}.jumpSeconds);
    EXPECT_EQ(read.dockSeconds, TravelSettings{}.dockSeconds);
    for (const TravelConstant& constant : travelConstants()) {
        EXPECT_EQ(TravelSettings{}.*constant.value, constant.defaultValue) << constant.label;
        EXPECT_FALSE(constant.reason.empty());
    }
}

} // namespace
} // namespace skarvel::trade
