#include "library_fixture.h"

namespace {
uint8_t byte = 0x33;
orvexa_drv_info record;
} // namespace

using LoaderCommandsTest = LibraryTest;

// Each command's request, then the same commands against a driver that fails them and
// against an absent driver: the status, and nothing written to the caller's output.
TEST_F(LoaderCommandsTest, RequestsAndTheirFailures) {
    const struct {
        int (*call)();
        uint32_t code;
        Bytes in;
        uint32_t out_size; // 0: no output buffer
    } commands[] = {
        {[] { return orvexa_rndm_put_byte(0x1A5); }, 0x9C40241C, frame(0, ~0u, 0xA5, 1, {0xA5}),
         16},
        {[] { return orvexa_key_reset(); }, 0x9C402414, frame(0), 0},
        {[] { return orvexa_key_reset_slot(17); }, 0x9C402414, frame(0, 17), 0},
        {[] { return orvexa_rndm_step(); }, 0x9C40240C, {}, 0},
        {[] { return orvexa_drv_query_info(&record, 0x42); }, 0x9C402400, frame(0, 0x42), 80},
        {[] { return orvexa_drv_get_info(&record); }, 0x9C402400, frame(0), 80},
        {[] { return orvexa_rndm_get_byte(&byte); }, 0x9C402420, {}, 1},
    };
    fixed[ORVEXA_IOCTL_BYTE_READ] = ok({0x5C});
    for (auto& c : commands) {
        EXPECT_EQ(fresh(c.call), 1);
        auto& r = last_request();
        EXPECT_EQ(std::tie(r.code, r.in, r.out_size, r.out_is_null),
                  std::make_tuple(c.code, c.in, c.out_size, c.out_size == 0));
    }
    EXPECT_EQ(std::make_tuple(byte, record.word[5], fake().last_allocation),
              std::make_tuple(0x5C, 4u, 2048u));
    fake().handler = [](const FakeRequest&) { return fails(31); };
    byte = 0x33;
    std::memset(&record, 0xEE, sizeof record);
    for (int absent = 0; absent < 2; ++absent) {
        for (auto& c : commands) {
            EXPECT_EQ(fresh(c.call), 0);
            EXPECT_EQ(status(), absent ? 51u : 1u);
            EXPECT_EQ(fake().requests.empty(), absent == 1);
        }
        orvexa_drv_close();
        fake().open_fails = true;
    }
    EXPECT_EQ(std::make_tuple(byte, record.word[0], held()),
              std::make_tuple(0x33, 0xEEEEEEEEu, 0L));
    EXPECT_EQ(orvexa_rndm_get_byte(nullptr) + orvexa_drv_query_info(nullptr, 0) +
                  orvexa_drv_get_info(nullptr),
              0);
    EXPECT_EQ(status(), 3u); // the null outputs, refused before the driver is looked for
}

TEST_F(LoaderCommandsTest, AResetRefusedForAMissingNetworkPathSaysSo) {
    fixed[ORVEXA_IOCTL_KEY_RESET] = fails(53);
    EXPECT_EQ(orvexa_key_reset_slot(3), 0);
    EXPECT_EQ(status(), 53u);
    fixed[ORVEXA_IOCTL_KEY_RESET] = fails(5);
    EXPECT_EQ(orvexa_key_reset(), 0);
    EXPECT_EQ(status(), 1u);
}

// The frame checks the checksum before the driver status, the opposite of the block read.
TEST_F(LoaderCommandsTest, SeedByteAnswerChecks) {
    const struct {
        Bytes reply;
        int result;
        uint32_t status; // the last status after the call (a success keeps the old one)
    } cases[] = {
        {frame(0x12340007, 0, 0x99, 1), 0, 2}, // checksum over our own byte fails first
        {frame(0x12340007, 0, 0x42, 1), 0, 7}, // echoed byte passes, low half of status
        {frame(0, 0, 0xFFFF, 0), 1, 7},        // no data: no checksum check
        {frame(0, 0, 0x142, 1), 0, 2},         // upper bits make the word differ
        {frame(0, 0, 0x42, 1), 1, 2},          // an echo of length 1 passes
        {frame(0, 0, 0, 2033), 0, 4},          // beyond the buffer's room
        {frame(0, 0, 0x42, 2032), 1, 4},       // zero-filled room: XOR of ours
    };
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_SEED_BYTE] = ok(c.reply);
        EXPECT_EQ(orvexa_rndm_put_byte(0x42), c.result);
        EXPECT_EQ(std::make_tuple(status(), held()), std::make_tuple(c.status, 1L));
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
        const char* text; // null: the buffer is left alone
    } cases[] = {
        {0, 7, nullptr},
        {52, 7, nullptr},
        {54, 7, nullptr},
        {0xFFFF, 7, nullptr},
        {1, 5, "ORX_D"},
        {1, 0, ""},
        {26, 63, "ERROR_GKEY_ICMP_SET"},
        {50, 63, "ERROR_RND_TEST_STATUS"},
        {51, 63, "DRIVER_OPEN_ERROR"},
        {2, -1, nullptr},
        {2, INT32_MIN, nullptr},
    };
    for (auto& c : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        orx_set_status(c.code);
        EXPECT_EQ(orvexa_drv_status_name(buffer, c.size), c.text ? int(std::strlen(c.text)) : 0);
        EXPECT_EQ(std::string(buffer, 24).substr(0, c.text ? std::strlen(c.text) + 2 : 1),
                  c.text ? std::string(c.text) + '\0' + 'x' : "x");
    }
    EXPECT_EQ(orvexa_drv_status_name(nullptr, 10), 0);
}
