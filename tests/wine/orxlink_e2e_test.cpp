// orxlink.dll, imported by ordinal, against the emulated driver hosted by Wine: a client's
// direct calls (the record, a slot reset, the generator byte by byte). The provider table,
// the slots, driver faults and an absent driver are the journeys of orxtool_test.sh.
#include "wine_harness.h"
#include "orxlink.h"

// This program carries a Windows 10 compatibility manifest and the testbed's prefixes say
// Windows 10, so Windows tells it 10.0: the library must still find the device.
TEST(OrxlinkE2E, AWindows10ClientReadsTheRecordResetsASlotAndStepsTheGenerator) {
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_RESET, {}})) << "driver not running";
    EXPECT_EQ(LOBYTE(GetVersion()), 10);
    orvexa_drv_info info = {};
    ASSERT_EQ(orvexa_drv_get_info(&info), 1);
    EXPECT_NE(info.word[ORVEXA_INFO_OPERATIONAL], 0u);
    EXPECT_NE(info.word[ORVEXA_INFO_BLOCK_UNITS], 0u);
    EXPECT_EQ(info.word[ORVEXA_INFO_SEED_ACCEPTED] | info.word[ORVEXA_INFO_RNDM_READY], 0u);

    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_LOAD_KEY, {3}}, "1234567890123456789012"));
    ASSERT_TRUE(testctl({ORVEXA_TESTCTL_LOAD_KEY, {4}}, "2234567890223456789012"));
    ASSERT_EQ(orvexa_key_reset_slot(3), 1);
    EXPECT_EQ(driver_state().loaded_slots, 1u << 4);

    ASSERT_EQ(orvexa_rndm_put_byte(0x1A5), 1);
    for (int i = 0; i < 8; ++i) {
        uint8_t value = 0;
        ASSERT_EQ(orvexa_rndm_get_byte(&value), 1);
        ASSERT_NE(orvexa_rndm_step(), 0);
    }
    EXPECT_EQ(driver_state().steps, 8u);
    EXPECT_EQ(driver_state().seed_bytes, 1u);
}
