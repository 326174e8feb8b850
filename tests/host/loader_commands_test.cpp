#include "library_fixture.h"

namespace {
uint8_t byte = 0x33;
orvexa_drv_info record;
} // namespace

using LoaderCommandsTest = LibraryTest;

// Each command's request, then the same commands against a driver that fails them and
// against an absent driver: the status, and nothing written to the caller's output. The
// null outputs are refused with status 3 before the driver is looked for.
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
        EXPECT_EQ(run(c.call), make_tuple(1, 9u));
        auto& r = last_request();
        EXPECT_EQ(std::tie(r.code, r.in, r.out_size), std::make_tuple(c.code, c.in, c.out_size));
    }
    EXPECT_EQ(make_tuple(byte, record.word[5], fake().last_allocation),
              make_tuple(0x5C, 4u, 2048u));
    fake().handler = [](const FakeRequest&) { return fails(31); };
    byte = 0x33;
    std::memset(&record, 0xEE, sizeof record);
    for (uint32_t absent : {0u, 1u}) {
        for (auto& c : commands) {
            EXPECT_EQ(run(c.call), make_tuple(0, absent ? 51u : 1u));
            EXPECT_EQ(fake().requests.empty(), absent == 1);
        }
        orvexa_drv_close();
        fake().open_fails = true;
    }
    EXPECT_EQ(make_tuple(byte, record.word[0], held()), make_tuple(0x33, 0xEEEEEEEEu, 0L));
    for (int (*null_output)() : {+[] { return orvexa_rndm_get_byte(nullptr); },
                                 +[] { return orvexa_drv_query_info(nullptr, 0); },
                                 +[] { return orvexa_drv_get_info(nullptr); }})
        EXPECT_EQ(run(null_output), make_tuple(0, 3u));
}

// The frame checks the checksum before the driver status, the opposite of the block read:
// the checksum over our own byte fails first, an echoed byte passes and the low half of the
// status counts, no data needs no checksum, a length beyond the buffer's room fails and the
// zero-filled room sums to our own byte. A reset refused for a missing network path says so.
TEST_F(LoaderCommandsTest, SeedByteAnswerChecksAndResetErrors) {
    const uint32_t cases[][5] = {
        // status, checksum, length; result, the status after (9: kept)
        {0x12340007, 0x99, 1, 0, 2}, {0x12340007, 0x42, 1, 0, 7}, {0, 0xFFFF, 0, 1, 9},
        {0, 0x142, 1, 0, 2},         {0, 0x42, 1, 1, 9},          {0, 0, 2033, 0, 4},
        {0, 0x42, 2032, 1, 9},
    };
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_SEED_BYTE] = ok(frame(c[0], 0, c[1], c[2]));
        EXPECT_EQ(run([] { return orvexa_rndm_put_byte(0x42); }), make_tuple(int(c[3]), c[4]));
        EXPECT_EQ(held(), 1);
    }
    fake().fail_allocation = 0;
    EXPECT_EQ(run([] { return orvexa_rndm_put_byte(0x42); }), make_tuple(0, 3u));
    fixed[ORVEXA_IOCTL_KEY_RESET] = fails(53);
    EXPECT_EQ(run([] { return orvexa_key_reset_slot(3); }), make_tuple(0, 53u));
}
