#include "library_fixture.h"

namespace {

std::vector<uint8_t> words4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    std::vector<uint8_t> out = fake_header(a, c, d);
    std::memcpy(&out[4], &b, 4);
    return out;
}

uint8_t byte = 0x33;
orvexa_drv_info record;

struct Command {
    int (*call)();
    uint32_t code;
    std::vector<uint8_t> in;
    uint32_t out_size; // 0: no output buffer
};

} // namespace

using LoaderCommandsTest = LibraryTest;

// Each command's request, then the same commands against a driver that fails them and
// against an absent driver: the status, and nothing written to the caller's output.
TEST_F(LoaderCommandsTest, RequestsAndTheirFailures) {
    std::vector<uint8_t> seed = words4(0, 0xFFFFFFFF, 0xA5, 1);
    seed.push_back(0xA5);
    const Command commands[] = {
        {[] { return orvexa_rndm_put_byte(0x1A5); }, 0x9C40241C, seed, 16},
        {[] { return orvexa_key_reset(); }, 0x9C402414, words4(0, 0, 0, 0), 0},
        {[] { return orvexa_key_reset_slot(17); }, 0x9C402414, words4(0, 17, 0, 0), 0},
        {[] { return orvexa_rndm_step(); }, 0x9C40240C, {}, 0},
        {[] { return orvexa_drv_query_info(&record, 0x42); }, 0x9C402400, words4(0, 0x42, 0, 0),
         80},
        {[] { return orvexa_drv_get_info(&record); }, 0x9C402400, words4(0, 0, 0, 0), 80},
        {[] { return orvexa_rndm_get_byte(&byte); }, 0x9C402420, {}, 1},
    };
    fixed[ORVEXA_IOCTL_BYTE_READ] = replies({0x5C});
    for (const Command& c : commands) {
        EXPECT_EQ(fresh(c.call), 1);
        EXPECT_EQ(status(), 0u);
        EXPECT_EQ(last_request().code, c.code);
        EXPECT_EQ(last_request().in, c.in);
        EXPECT_EQ(last_request().out_size, c.out_size);
        EXPECT_EQ(last_request().out_is_null, c.out_size == 0);
    }
    EXPECT_EQ(byte, 0x5C);
    EXPECT_EQ(record.word[5], 4u);
    fake().handler = [](const FakeRequest&) { return fails_with(31); };
    byte = 0x33;
    std::memset(&record, 0xEE, sizeof record);
    for (const Command& c : commands) {
        EXPECT_EQ(fresh(c.call), 0);
        EXPECT_EQ(status(), 1u);
    }
    orvexa_drv_close();
    fake().open_fails = true;
    for (const Command& c : commands) {
        EXPECT_EQ(fresh(c.call), 0);
        EXPECT_EQ(status(), 51u);
        EXPECT_TRUE(fake().requests.empty());
    }
    EXPECT_EQ(byte, 0x33);
    EXPECT_EQ(record.word[0], 0xEEEEEEEEu);
    EXPECT_EQ(buffers_held(), 0);
}

TEST_F(LoaderCommandsTest, NullOutputsAndResetErrors) {
    EXPECT_EQ(fresh([] { return orvexa_rndm_get_byte(nullptr); }), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_EQ(fresh([] { return orvexa_drv_query_info(nullptr, 0); }), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_EQ(fresh([] { return orvexa_drv_get_info(nullptr); }), 0);
    EXPECT_EQ(status(), 3u);
    EXPECT_TRUE(fake().requests.empty());
    fixed[ORVEXA_IOCTL_KEY_RESET] = fails_with(53); // the network path is gone
    EXPECT_EQ(orvexa_key_reset_slot(3), 0);
    EXPECT_EQ(status(), 53u);
    fixed[ORVEXA_IOCTL_KEY_RESET] = fails_with(5);
    EXPECT_EQ(orvexa_key_reset(), 0);
    EXPECT_EQ(status(), 1u);
}

// The frame checks the checksum before the driver status, the opposite of the block read.
TEST_F(LoaderCommandsTest, SeedByteAnswerChecks) {
    const struct {
        std::vector<uint8_t> reply;
        int result;
        uint32_t status; // the last status after the call (a success keeps the old one)
    } cases[] = {
        {fake_header(0x12340007, 0x99, 1), 0, 2}, // checksum over our own byte fails first
        {fake_header(0x12340007, 0x42, 1), 0, 7}, // echoed byte passes, low half of status
        {fake_header(0, 0xFFFF, 0), 1, 7},        // no data: no checksum check
        {fake_header(0, 0x142, 1), 0, 2},         // upper bits make the word differ
        {fake_header(0, 0x42, 1), 1, 2},          // an echo of length 1 passes
        {fake_header(0, 0, 2033), 0, 4},          // beyond the buffer's room
        {fake_header(0, 0x42, 2032), 1, 4},       // zero-filled room: XOR of ours
    };
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_SEED_BYTE] = replies(c.reply);
        EXPECT_EQ(orvexa_rndm_put_byte(0x42), c.result);
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(buffers_held(), 1); // only the shared block buffer
        EXPECT_EQ(fake().last_allocation, 2048u);
    }
    fake().fail_allocation = 0;
    EXPECT_EQ(orvexa_rndm_put_byte(0x42), 0);
    EXPECT_EQ(status(), 3u);
}

// A name is cut at `size` characters and always terminated; unnamed codes, a null buffer
// or a negative size write nothing.
TEST_F(LoaderCommandsTest, StatusNames) {
    const struct {
        uint32_t code;
        int32_t size;
        int result;
        const char* text; // null: the buffer is left alone
    } cases[] = {
        {0, 7, 0, nullptr},
        {52, 7, 0, nullptr},
        {54, 7, 0, nullptr},
        {0xFFFF, 7, 0, nullptr},
        {1, 5, 5, "ORX_D"},
        {1, 0, 0, ""},
        {26, 63, 19, "ERROR_GKEY_ICMP_SET"},
        {50, 63, 21, "ERROR_RND_TEST_STATUS"},
        {51, 63, 17, "DRIVER_OPEN_ERROR"},
        {2, -1, 0, nullptr},
        {2, INT32_MIN, 0, nullptr},
    };
    for (auto& c : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        orx_set_status(c.code);
        EXPECT_EQ(orvexa_drv_status_name(buffer, c.size), c.result) << c.code;
        if (c.text) {
            EXPECT_STREQ(buffer, c.text);
            EXPECT_EQ(buffer[std::strlen(c.text) + 1], 'x');
        } else {
            EXPECT_EQ(buffer[0], 'x');
        }
    }
    EXPECT_EQ(orvexa_drv_status_name(nullptr, 10), 0);
}
