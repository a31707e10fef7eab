#include "platform/StoredSwitch.h"
#include "support/Errors.h"
#include "support/MemoryPreferences.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace skarvel {
namespace {

using test::MemoryPreferences;

StoredValue integer(std::uint32_t value) {
    return StoredValue{true, value, {}};
}

TEST(StoredSwitch, FirstStartStoresOne) {
    MemoryPreferences store;
    StoredSwitch security(store, "SecurityDialogs");
    security.loadAtStartup();
    EXPECT_EQ(security.field(), 1);
    EXPECT_TRUE(security.get());
    EXPECT_EQ(store.values.at("SecurityDialogs").value, 1u);
    EXPECT_EQ(store.writes, 1);
}

TEST(StoredSwitch, QueriesFollowTheFieldRules) {
    struct Case {
        std::uint32_t stored;
        bool result;
        std::uint8_t fieldAfterQuery;
    };
    for (const Case& c :
         {Case{0, false, 0}, Case{1, true, 1}, Case{2, true, 1}, Case{4, true, 1}, Case{6, true, 1},
          Case{7, true, 1}, Case{255, true, 1}, Case{5, true, 5}}) {
        SCOPED_TRACE(c.stored);
        MemoryPreferences store;
        store.values["CheckNewVersion"] = integer(c.stored);
        StoredSwitch check(store, "CheckNewVersion");
        check.loadAtStartup();
        EXPECT_EQ(check.field(), c.stored);

        EXPECT_EQ(check.get(), c.result);
        EXPECT_EQ(check.field(), c.fieldAfterQuery);
        // Queries only change memory; the store keeps what it held.
        EXPECT_EQ(store.values.at("CheckNewVersion").value, c.stored);
        EXPECT_EQ(store.writes, 0);
    }
}

TEST(StoredSwitch, FiveReadsTheStoreAtEveryQueryAndStaysOn) {
    MemoryPreferences store;
    store.values["SecurityDialogs"] = integer(5);
    StoredSwitch security(store, "SecurityDialogs");
    security.loadAtStartup();

    store.values["SecurityDialogs"] = integer(0); // changed by someone else meanwhile
    EXPECT_TRUE(security.get());
    EXPECT_EQ(security.field(), 0);
    EXPECT_FALSE(security.get());

    store.values["SecurityDialogs"] = integer(5);
    security.set(1);
    EXPECT_EQ(store.values.at("SecurityDialogs").value, 1u);
}

TEST(StoredSwitch, FiveThatReadsABadValueThrows) {
    MemoryPreferences store;
    store.values["SecurityDialogs"] = integer(5);
    StoredSwitch security(store, "SecurityDialogs");
    security.loadAtStartup();

    store.values["SecurityDialogs"] = integer(256);
    EXPECT_THROW(security.get(), std::range_error);
    store.values["SecurityDialogs"] = StoredValue{false, 0, "yes"};
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { security.get(); }),
              "Invalid data type for 'SecurityDialogs'");
    EXPECT_EQ(security.field(), 5);
}

TEST(StoredSwitch, SetChangesTheFieldOnlyForZeroAndOneButAlwaysStoresIt) {
    MemoryPreferences store;
    store.values["SecurityDialogs"] = integer(7);
    StoredSwitch security(store, "SecurityDialogs");
    security.loadAtStartup();

    security.set(3);
    EXPECT_EQ(security.field(), 7);
    EXPECT_EQ(store.values.at("SecurityDialogs").value, 7u);
    security.set(0);
    EXPECT_EQ(security.field(), 0);
    EXPECT_EQ(store.values.at("SecurityDialogs").value, 0u);
    EXPECT_FALSE(security.get());
    security.set(1);
    EXPECT_EQ(store.values.at("SecurityDialogs").value, 1u);
    EXPECT_EQ(store.writes, 3);
}

TEST(StoredSwitch, StartupRejectsValuesOutOfRangeOrOfAnotherType) {
    MemoryPreferences store;
    store.values["CheckNewVersion"] = integer(256);
    StoredSwitch check(store, "CheckNewVersion");
    EXPECT_EQ(test::errorOf<std::range_error>([&] { check.loadAtStartup(); }), "Range check error");
    store.values["CheckNewVersion"] = integer(0xFFFFFFFFu);
    EXPECT_THROW(check.loadAtStartup(), std::range_error);

    store.values["CheckNewVersion"] = StoredValue{false, 0, "1"};
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { check.loadAtStartup(); }),
              "Invalid data type for 'CheckNewVersion'");
    EXPECT_EQ(store.writes, 0); // a bad value is reported, never overwritten
}

} // namespace
} // namespace skarvel
