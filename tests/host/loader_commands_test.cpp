#include <cstring>

#include "library_fixture.h"
#include "orxlink.h"

namespace {

std::vector<uint8_t> words(std::initializer_list<uint32_t> list) {
    std::vector<uint8_t> out;
    for (uint32_t w : list)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(w >> (8 * i)));
    return out;
}

} // namespace

using LoaderCommandsTest = LibraryTest;

TEST_F(LoaderCommandsTest, RequestsAreByteExact) {
    ASSERT_EQ(orvexa_rndm_put_byte(0x1A5), 1);
    std::vector<uint8_t> seed = words({0, 0xFFFFFFFF, 0xA5, 1});
    seed.push_back(0xA5);
    EXPECT_EQ(last_request().code, 0x9C40241Cu);
    EXPECT_EQ(last_request().in, seed);
    EXPECT_EQ(last_request().out_size, 16u);

    ASSERT_EQ(orvexa_key_reset_slot(0), 1);
    FakeRequest reset_slot0 = last_request();
    ASSERT_EQ(orvexa_key_reset(), 1);
    EXPECT_EQ(last_request().in, reset_slot0.in);
    EXPECT_EQ(last_request().code, 0x9C402414u);
    EXPECT_EQ(last_request().in, words({0, 0, 0, 0}));
    EXPECT_TRUE(last_request().out_is_null);
    ASSERT_EQ(orvexa_key_reset_slot(17), 1); // the driver decides about slot numbers
    EXPECT_EQ(last_request().in, words({0, 17, 0, 0}));

    ASSERT_NE(orvexa_rndm_step(), 0);
    EXPECT_EQ(last_request().code, 0x9C40240Cu);
    EXPECT_TRUE(last_request().in.empty());
    EXPECT_TRUE(last_request().out_is_null);

    orvexa_drv_info record = {};
    ASSERT_NE(orvexa_drv_query_info(&record, 0x42), 0);
    EXPECT_EQ(last_request().code, 0x9C402400u);
    EXPECT_EQ(last_request().in, words({0, 0x42, 0, 0}));

    answer(ORVEXA_IOCTL_BYTE_READ, replies({0x5C}));
    uint8_t byte = 0;
    ASSERT_EQ(orvexa_rndm_get_byte(&byte), 1);
    EXPECT_EQ(byte, 0x5C);
    EXPECT_EQ(last_request().code, 0x9C402420u);
    EXPECT_EQ(last_request().out_size, 1u);
    EXPECT_EQ(orvexa_drv_last_status(), 0u);
}

TEST_F(LoaderCommandsTest, FailedCallsSetDriverErrorAndWriteNothing) {
    ASSERT_EQ(orvexa_drv_open(), 1);
    fake().handler = [](const FakeRequest&) { return fails_with(31); };
    uint8_t byte = 0x33;
    orvexa_drv_info record;
    std::memset(&record, 0xEE, sizeof record);
    EXPECT_EQ(orvexa_rndm_get_byte(&byte), 0);
    EXPECT_EQ(byte, 0x33);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    orx_set_status(0);
    EXPECT_EQ(orvexa_rndm_step(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    orx_set_status(0);
    EXPECT_EQ(orvexa_drv_query_info(&record, 0), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    orx_set_status(0);
    EXPECT_EQ(orvexa_rndm_put_byte(7), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(buffers_held(), 1); // only the shared block buffer
}

TEST_F(LoaderCommandsTest, ResetRefusedWithSystemError53LeavesStatus53) {
    answer(ORVEXA_IOCTL_KEY_RESET, fails_with(53));
    EXPECT_EQ(orvexa_key_reset_slot(3), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 53u);
    char name[32] = "untouched";
    EXPECT_EQ(orvexa_drv_status_name(name, 31), 0);
    EXPECT_STREQ(name, "untouched");
    answer(ORVEXA_IOCTL_KEY_RESET, fails_with(5));
    EXPECT_EQ(orvexa_key_reset(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
}

TEST_F(LoaderCommandsTest, ExportsFailWithTheOpenStatusWhenTheDriverIsAbsent) {
    fake().open_fails = true;
    uint8_t byte = 0;
    orvexa_drv_info record = {};
    using Call = int (*)();
    static uint8_t* byte_ptr;
    static orvexa_drv_info* record_ptr;
    byte_ptr = &byte;
    record_ptr = &record;
    Call calls[] = {
        [] { return orvexa_rndm_step(); },
        [] { return orvexa_key_reset(); },
        [] { return orvexa_key_reset_slot(4); },
        [] { return orvexa_rndm_put_byte(1); },
        [] { return orvexa_rndm_get_byte(byte_ptr); },
        [] { return orvexa_drv_query_info(record_ptr, 0); },
        [] { return orvexa_drv_get_info(record_ptr); },
    };
    for (Call call : calls) {
        orx_set_status(0);
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(orvexa_drv_last_status(), 51u);
    }
    EXPECT_TRUE(fake().requests.empty());
    EXPECT_EQ(fake().allocations, 0);
}

// The frame checks the checksum before the driver status, the opposite of the block read.
TEST_F(LoaderCommandsTest, SeedByteAnswerChecksAndBufferLife) {
    struct {
        std::vector<uint8_t> reply;
        int result;
        uint32_t status;
    } cases[] = {
        {fake_header(0x00000007, 0x99, 1), 0, 2}, // checksum over our own byte fails first
        {fake_header(0x00000007, 0x42, 1), 0, 7}, // echoed byte passes, status counts
        {fake_header(0, 0xFFFF, 0), 1, 7},        // no data: no checksum check
        {fake_header(0, 0x142, 1), 0, 2},         // upper bits make the word differ
        {fake_header(0, 0x42, 1), 1, 2},          // an echo of length 1 passes
        {fake_header(0, 0, 2033), 0, 4},          // beyond the buffer's room
        {fake_header(0, 0x42, 2032), 1, 4},       // zero-filled room: XOR of ours
    };
    for (auto& c : cases) {
        answer(ORVEXA_IOCTL_SEED_BYTE, replies(c.reply));
        EXPECT_EQ(orvexa_rndm_put_byte(0x42), c.result);
        EXPECT_EQ(orvexa_drv_last_status(), c.status);
        EXPECT_EQ(buffers_held(), 1);
    }
    fake().fail_allocation = 0;
    EXPECT_EQ(orvexa_rndm_put_byte(0x42), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_EQ(buffers_held(), 1);
    EXPECT_EQ(fake().allocation_sizes.back(), 2048u);
}

TEST_F(LoaderCommandsTest, NullOutputPointersAreRefusedWithoutACall) {
    EXPECT_EQ(orvexa_rndm_get_byte(nullptr), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    orx_set_status(0);
    EXPECT_EQ(orvexa_drv_query_info(nullptr, 0), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
    EXPECT_TRUE(fake().requests.empty());
}
