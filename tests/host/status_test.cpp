#include <cstring>

#include "library_fixture.h"
#include "orxlink.h"

using StatusTest = LibraryTest;

TEST_F(StatusTest, NothingIsWrittenBeforeAnyFailureOrForUnnamedCodes) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(orvexa_drv_last_status(), 0u);
    EXPECT_EQ(orvexa_drv_status_name(buffer, 7), 0);
    for (uint32_t code : {52u, 53u, 54u, 0xFFFFu}) {
        orx_set_status(code);
        EXPECT_EQ(orvexa_drv_status_name(buffer, 7), 0);
    }
    EXPECT_EQ(buffer[0], 'x');
}

TEST_F(StatusTest, NameIsCutAtTheSizeAndAlwaysTerminated) {
    char buffer[64];
    orx_set_status(1);
    EXPECT_EQ(orvexa_drv_status_name(buffer, 5), 5);
    EXPECT_STREQ(buffer, "ORX_D");
    for (uint32_t code = 1; code <= 51; ++code) {
        orx_set_status(code);
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(orvexa_drv_status_name(buffer, 0), 0);
        EXPECT_EQ(buffer[0], '\0');
        EXPECT_EQ(buffer[1], 'x');
        int32_t n = orvexa_drv_status_name(buffer, 63);
        EXPECT_EQ(size_t(n), std::strlen(buffer));
        EXPECT_GT(n, 0) << code;
    }
    orx_set_status(50);
    orvexa_drv_status_name(buffer, 63);
    EXPECT_STREQ(buffer, "ERROR_RND_TEST_STATUS");
    orx_set_status(26);
    orvexa_drv_status_name(buffer, 63);
    EXPECT_STREQ(buffer, "ERROR_GKEY_ICMP_SET");
}

TEST_F(StatusTest, NullBufferOrNegativeSizeWritesNothing) {
    char buffer[4] = {'x', 'x', 'x', 'x'};
    orx_set_status(2);
    EXPECT_EQ(orvexa_drv_status_name(nullptr, 10), 0);
    EXPECT_EQ(orvexa_drv_status_name(buffer, -1), 0);
    EXPECT_EQ(orvexa_drv_status_name(buffer, INT32_MIN), 0);
    EXPECT_EQ(buffer[0], 'x');
}

TEST_F(StatusTest, DriverStatusKeepsTheLowHalfAndSuccessKeepsTheOldCode) {
    answer(ORVEXA_IOCTL_SEED_BYTE, replies(fake_header(0x00010005, 0, 0)));
    EXPECT_EQ(orvexa_rndm_put_byte(1), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 5u);
    answer(ORVEXA_IOCTL_SEED_BYTE, replies(fake_header(0x1234ABCD, 0, 0)));
    EXPECT_EQ(orvexa_rndm_put_byte(1), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 0xABCDu);
    answer(ORVEXA_IOCTL_SEED_BYTE, replies(fake_header(0, 0, 0)));
    EXPECT_EQ(orvexa_rndm_put_byte(1), 1);
    EXPECT_EQ(orvexa_drv_last_status(), 0xABCDu);
}
