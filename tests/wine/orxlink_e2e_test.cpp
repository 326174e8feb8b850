// orxlink.dll, imported by ordinal, against the emulated driver hosted by Wine: a client's
// direct calls (the record, a slot reset, the generator byte by byte). The provider table,
// the slots, driver faults and an absent driver are the journeys of orxtool_test.sh.
#include <gtest/gtest.h>

#include "driver_control.h"
#include "orxlink.h"

// This program carries a Windows 10 compatibility manifest and the testbed's prefixes say
// Windows 10, so Windows tells it 10.0: the library must still find the device.
TEST(OrxlinkE2E, AWindows10ClientReadsTheRecordResetsASlotAndStepsTheGenerator) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "driver not running";
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
#pragma GCC diagnostic pop
    EXPECT_EQ(version.dwMajorVersion, 10u);
    orvexa_drv_info info = {};
    ASSERT_EQ(orvexa_drv_get_info(&info), 1);
    EXPECT_NE(info.word[ORVEXA_INFO_OPERATIONAL], 0u);
    EXPECT_NE(info.word[ORVEXA_INFO_BLOCK_UNITS], 0u);
    EXPECT_EQ(info.word[ORVEXA_INFO_SEED_ACCEPTED] | info.word[ORVEXA_INFO_RNDM_READY], 0u);

    ASSERT_TRUE(testctl_load_key(3, "1234567890", "123456789012"));
    ASSERT_TRUE(testctl_load_key(4, "2234567890", "223456789012"));
    ASSERT_EQ(orvexa_key_reset_slot(3), 1);
    EXPECT_EQ(driver_state().loaded_slots, 1u << 4);

    orvexa_testctl_counters before =
        driver_state<orvexa_testctl_counters>(ORVEXA_TESTCTL_GET_COUNTERS);
    ASSERT_EQ(orvexa_rndm_put_byte(0x1A5), 1);
    for (int i = 0; i < 8; ++i) {
        uint8_t value = 0;
        ASSERT_EQ(orvexa_rndm_get_byte(&value), 1);
        ASSERT_NE(orvexa_rndm_step(), 0);
    }
    orvexa_testctl_counters after =
        driver_state<orvexa_testctl_counters>(ORVEXA_TESTCTL_GET_COUNTERS);
    EXPECT_EQ(after.function[7] - before.function[7], 1u); // seed byte
    EXPECT_EQ(after.function[8] - before.function[8], 8u); // byte read
    EXPECT_EQ(after.function[3] - before.function[3], 8u); // step
    EXPECT_EQ(driver_state().steps, 8u);
    EXPECT_EQ(driver_state().seed_bytes, 1u);
}
