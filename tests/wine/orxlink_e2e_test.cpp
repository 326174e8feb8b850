// orxlink.dll, imported by ordinal, against the emulated driver hosted by Wine.
#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <vector>

#include "driver_control.h"
#include "orxlink.h"

namespace {

uint32_t word(const std::vector<uint8_t>& bytes, size_t index) {
    uint32_t w = 0;
    memcpy(&w, &bytes.at(index * 4), 4);
    return w;
}

class OrxlinkE2E : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(testctl(ORVEXA_TESTCTL_RESET)) << "driver not running"; }
};

} // namespace

// This program carries a Windows 10 compatibility manifest and the testbed's prefixes say
// Windows 10, so Windows tells it 10.0: the library must still find the device.
TEST_F(OrxlinkE2E, AWindows10ClientReadsTheRecordOfAFreshDriver) {
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
    EXPECT_EQ(info.word[ORVEXA_INFO_SEED_ACCEPTED], 0u);
    EXPECT_EQ(info.word[ORVEXA_INFO_RNDM_READY], 0u);
    std::vector<uint8_t> request;
    EXPECT_EQ(last_driver_request(&request), 0x9C402400u);
    EXPECT_EQ(request, std::vector<uint8_t>(16, 0));

    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_WORD, 7, 0));
    ASSERT_NE(orvexa_drv_query_info(&info, 0), 0);
    EXPECT_EQ(info.word[ORVEXA_INFO_OPERATIONAL], 0u);
    EXPECT_EQ(orvexa_drv_last_status(), 0u);
}

TEST_F(OrxlinkE2E, ResetEmptiesTheSlotItNames) {
    ASSERT_TRUE(testctl_load_key(3, "1234567890", "123456789012"));
    ASSERT_TRUE(testctl_load_key(4, "2234567890", "223456789012"));
    ASSERT_EQ(orvexa_key_reset_slot(3), 1);
    std::vector<uint8_t> request;
    EXPECT_EQ(last_driver_request(&request), 0x9C402414u);
    ASSERT_EQ(request.size(), 16u);
    EXPECT_EQ(word(request, 1), 3u);
    EXPECT_EQ(driver_state().loaded_slots, 1u << 4);
    ASSERT_EQ(orvexa_key_reset_slot(4), 1);
    EXPECT_EQ(driver_state().loaded_slots, 0u);
}

TEST_F(OrxlinkE2E, ResetRefusedWithError53LeavesStatus53) {
    ASSERT_TRUE(arm_fault(ORVEXA_IOCTL_KEY_RESET, ORVEXA_TESTCTL_FAULT_NETPATH));
    EXPECT_EQ(orvexa_key_reset(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 53u);
    char name[32] = "untouched";
    EXPECT_EQ(orvexa_drv_status_name(name, 31), 0);
    ASSERT_TRUE(arm_fault(ORVEXA_IOCTL_KEY_RESET, ORVEXA_TESTCTL_FAULT_FAIL));
    EXPECT_EQ(orvexa_key_reset_slot(2), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(orvexa_key_reset_slot(2), 1);
}

TEST_F(OrxlinkE2E, SeedByteByteReadAndStepReachTheDriver) {
    orvexa_testctl_counters before = driver_counters();
    ASSERT_EQ(orvexa_rndm_put_byte(0x1A5), 1);
    std::vector<uint8_t> request;
    EXPECT_EQ(last_driver_request(&request), 0x9C40241Cu);
    ASSERT_EQ(request.size(), 17u);
    EXPECT_EQ(word(request, 1), 0xFFFFFFFFu);
    EXPECT_EQ(word(request, 2), 0xA5u);
    EXPECT_EQ(word(request, 3), 1u);
    EXPECT_EQ(request[16], 0xA5);

    uint8_t values[8] = {};
    for (uint8_t& v : values) {
        ASSERT_EQ(orvexa_rndm_get_byte(&v), 1);
        ASSERT_NE(orvexa_rndm_step(), 0);
    }
    orvexa_testctl_counters after = driver_counters();
    EXPECT_EQ(after.function[7] - before.function[7], 1u);
    EXPECT_EQ(after.function[8] - before.function[8], 8u);
    EXPECT_EQ(after.function[3] - before.function[3], 8u);
    EXPECT_EQ(driver_state().steps, 8u);
}

TEST_F(OrxlinkE2E, DriverStatusAndChecksumFaultsSurfaceAsStatuses) {
    ASSERT_TRUE(arm_fault(ORVEXA_IOCTL_SEED_BYTE, ORVEXA_TESTCTL_FAULT_STATUS, 0x00010005));
    EXPECT_EQ(orvexa_rndm_put_byte(1), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 5u);
    ASSERT_TRUE(arm_fault(ORVEXA_IOCTL_SEED_BYTE, ORVEXA_TESTCTL_FAULT_LENGTH, 0x10000));
    EXPECT_EQ(orvexa_rndm_put_byte(1), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 4u);
    ASSERT_TRUE(arm_fault(ORVEXA_IOCTL_BLOCK_READ, ORVEXA_TESTCTL_FAULT_CHECKSUM));
    uint8_t bytes[16];
    EXPECT_EQ(orvexa_rndm_get_bytes(bytes, sizeof bytes), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 2u);
}

TEST_F(OrxlinkE2E, StoppedServiceGivesDriverOpenErrorAndTheVersionStillAnswers) {
    ASSERT_TRUE(driver_service_stop());
    orvexa_drv_info info;
    memset(&info, 0xAB, sizeof info);
    EXPECT_EQ(orvexa_drv_query_info(&info, 0), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 51u);
    EXPECT_EQ(info.word[0], 0xABABABABu);
    EXPECT_EQ(GetDLLVersion(), 0x00010006u);
    char name[32] = {};
    EXPECT_EQ(orvexa_drv_status_name(name, 31), 17);
    EXPECT_STREQ(name, "DRIVER_OPEN_ERROR");
    ASSERT_TRUE(driver_service_start());
    EXPECT_NE(orvexa_drv_query_info(&info, 0), 0);
}

TEST_F(OrxlinkE2E, ProviderSeedsAnEmptyGeneratorToReadyWithItsSelfTest) {
    const rndm_handle* table = orvexa_rndm_get_handle();
    ASSERT_EQ(table->size, sizeof(void*) == 8 ? 56u : 28u); // the table's own size
    std::vector<std::pair<int, int>> asked;
    uint8_t material[64];
    for (int round = 0; round < 5; ++round) {
        int kind = -1, size = -1;
        ASSERT_EQ(table->get_seed_need(&kind, &size), 0);
        asked.push_back({kind, size});
        if (kind == 0)
            break;
        for (int i = 0; i < size; ++i)
            material[i] = uint8_t(i * 37 + round);
        ASSERT_EQ(table->put_seed(kind, size, material), 0);
    }
    std::vector<std::pair<int, int>> expected = {{1, 40}, {2, 64}, {0, 0}};
    EXPECT_EQ(asked, expected);
    // The self-test read 25,600 bytes: fifty 512-byte blocks, plus one for the mask.
    EXPECT_GE(driver_counters().function[1], 51u);

    orvexa_testctl_counters before = driver_counters();
    std::vector<uint8_t> bytes(512 * 3 + 1);
    ASSERT_EQ(table->get_random(uint32_t(bytes.size()), bytes.data()), 0);
    EXPECT_EQ(driver_counters().function[1] - before.function[1], 4u);
}

TEST_F(OrxlinkE2E, ABiasedGeneratorFailsTheSelfTestAndAsksForAFullReseed) {
    ASSERT_TRUE(testctl(ORVEXA_TESTCTL_SET_BIAS, ORVEXA_TESTCTL_BIAS_FLAT));
    const rndm_handle* table = orvexa_rndm_get_handle();
    uint8_t material[64] = {1, 2, 3};
    ASSERT_EQ(table->put_seed(1, 40, material), 0);
    orvexa_testctl_counters before = driver_counters();
    EXPECT_EQ(table->put_seed(2, 64, material), 3);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(driver_counters().function[1] - before.function[1], 1u + 5 * 50);
    int kind = -1, size = -1;
    ASSERT_EQ(table->get_seed_need(&kind, &size), 0);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(size, 40);
}
