#include <atomic>
#include <thread>

#include "library_fixture.h"

using ChannelTest = LibraryTest;

// The platform picks the path; a failed open holds nothing; the information record gives
// the block length and the shared buffer (the block and its header, 2,048 bytes at least).
TEST_F(ChannelTest, OpenPicksThePathAndSizesTheBlockBufferOrHoldsNothing) {
    const struct {
        bool version_ok;
        uint32_t id, major, units;
        bool query_fails, allocation_fails;
        uint32_t status; // 0: opened, 9: failed keeping the caller's status
        const char* open;
        size_t buffer;
    } cases[] = {
        {true, 1, 4, 254, 0, 0, 0, "\\\\.\\orvexa 1", 2048},
        {true, 2, 4, 255, 0, 0, 0, "\\\\.\\OrvexaDev", 2056},
        {true, 2, 10, 131072, 0, 0, 0, "\\\\.\\OrvexaDev", (1u << 20) + 16},
        {true, 2, 3, 4, 0, 0, 51, "", 0},
        {true, 3, 6, 4, 0, 0, 51, "", 0},
        {true, 0, 4, 4, 0, 0, 51, "", 0},
        {false, 2, 6, 4, 0, 0, 51, "", 0},
        {true, 2, 6, 131073, 0, 0, 4, "\\\\.\\OrvexaDev", 0},
        {true, 2, 6, 0x20000001, 0, 0, 4, "\\\\.\\OrvexaDev", 0},
        {true, 2, 6, 4, 1, 0, 1, "\\\\.\\OrvexaDev", 0},
        {true, 2, 6, 4, 0, 1, 9, "\\\\.\\OrvexaDev", 0},
    };
    for (auto& c : cases) {
        orvexa_drv_close();
        fake().opens.clear();
        std::tie(fake().version_ok, fake().platform_id, fake().major) =
            std::tie(c.version_ok, c.id, c.major);
        words[5] = c.units;
        fake().last_allocation = 0;
        fake().fail_allocation = c.allocation_fails ? 0 : -1;
        fixed.clear();
        if (c.query_fails)
            fixed[ORVEXA_IOCTL_QUERY_INFO] = fails(31);
        orx_set_status(9);
        fake().requests.clear();
        EXPECT_EQ(orvexa_drv_open(), c.status == 0) << c.units;
        EXPECT_EQ(
            std::make_tuple(status(), fake().live_devices, held(), fake().last_allocation),
            std::make_tuple(c.status ? c.status : 9u, int(!c.status), long(!c.status), c.buffer));
        EXPECT_EQ(orx_block_length(), c.status ? 0 : c.units * 8);
        EXPECT_EQ(fake().opens,
                  *c.open ? std::vector<std::string>{c.open} : std::vector<std::string>{});
        EXPECT_EQ(fake().requests.size(), *c.open ? 1u : 0u);
    }
    orvexa_drv_close(); // harmless twice
    ASSERT_EQ(orvexa_drv_open(), 1);
    orx_process_detach(); // closes the device and frees the buffer
    EXPECT_EQ(std::make_tuple(fake().live_devices, held()), std::make_tuple(0, 0L));
    orx_process_attach();
}

// The block read checks the driver status before the checksum.
TEST_F(ChannelTest, BlockReadChecksStatusThenLengthThenChecksum) {
    Bytes block = {1, 2, 3, 4, 5, 6, 7, 9};
    const struct {
        FakeAnswer reply;
        int result;
        uint32_t status;
    } cases[] = {
        {ok(frame(0x00010005, 0, 0x77, 8, block)), 0, 5},
        {ok(frame(0, 0, 0x77, 7, block)), 0, 4},
        {ok(frame(0, 0, 0x77, 8, block)), 0, 2},
        {ok(frame(0, 0, 0x109, 8, block)), 0, 2},
        {fails(31), 0, 1},
        {ok(frame(0, 0, 9, 8, block)), 1, 1},
    };
    for (uint32_t units : {0u, 1u}) { // closed, then blocks of no bytes: nothing is sent
        orx_block_lock();
        EXPECT_EQ(orx_block_read(), 0);
        orx_block_unlock();
        EXPECT_EQ(status(), units ? 4u : 1u);
        orvexa_drv_close();
        words[5] = units;
        ASSERT_EQ(orvexa_drv_open(), 1);
    }
    EXPECT_EQ(count(ORVEXA_IOCTL_BLOCK_READ), 0u);
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_BLOCK_READ] = c.reply;
        orx_block_lock();
        EXPECT_EQ(orx_block_read(), c.result);
        orx_block_unlock();
        EXPECT_EQ(std::make_tuple(status(), last_request().out_size, last_request().in.size()),
                  std::make_tuple(c.status, 24u, size_t(0)));
    }
    EXPECT_EQ(Bytes(orx_block_data(), orx_block_data() + 8), block);
}

// A request holds its device: a close meanwhile withdraws it, and its handle is closed
// once the request is done; the next request opens the device again.
TEST_F(ChannelTest, ACloseDuringARequestClosesTheDeviceWhenTheRequestIsDone) {
    std::vector<int> live_during;
    auto base = fake().handler;
    fake().handler = [&live_during, base](const FakeRequest& r) {
        if (r.code == ORVEXA_IOCTL_RNDM_STEP)
            orvexa_drv_close(), live_during.push_back(fake().live_devices);
        return base(r);
    };
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(orvexa_rndm_step(), 1);
        EXPECT_EQ(std::make_tuple(fake().live_devices, held()), std::make_tuple(0, 0L));
    }
    EXPECT_EQ(live_during, (std::vector<int>{1, 1}));
    EXPECT_EQ(count(ORVEXA_IOCTL_QUERY_INFO), 2u);
    EXPECT_EQ(GetDLLVersion(), 0x00010006u);
}

// Readers of odd lengths while the channel is closed and reopened, each open finding
// another block length (8 to 2400 bytes), and a command request beside them; threads
// opening at once open the device once. Each block is one value (its number << 3 | its
// length's tag), so a copy that used a stale length, or a block mixed between readers,
// shows as a run that is not whole blocks.
TEST_F(ChannelTest, ReadersKeepTheirBlocksWhileTheChannelIsReopened) {
    const uint32_t units[] = {1, 300, 5, 255, 3};
    size_t generation = 0;
    uint8_t number = 0;
    int wrong_room = 0; // block reads whose output room is not the length + 16
    fake().handler = [&](const FakeRequest& r) {
        std::lock_guard<std::mutex> guard(driver_lock);
        if (r.code == ORVEXA_IOCTL_QUERY_INFO)
            words[5] = units[generation = (generation + 1) % 5];
        if (r.code != ORVEXA_IOCTL_BLOCK_READ)
            return drive(r);
        uint32_t length = units[generation] * 8;
        wrong_room += r.out_size != length + 16;
        Bytes block(length, uint8_t(++number << 3 | generation));
        return ok(frame(0, 0, length % 2 ? block[0] : 0, length, block));
    };
    std::atomic<bool> reopening{true};
    std::atomic<int> failed_steps{0}, successes{0};
    auto read_rounds = [&](uint32_t length) {
        for (int round = 0; reopening || round < 20; ++round) {
            Bytes out(length + 16, 0);
            int ok = orvexa_rndm_get_bytes(out.data(), length);
            ASSERT_EQ(Bytes(out.begin() + length, out.end()), Bytes(16)) << "written past";
            ASSERT_TRUE(ok || status() == 1u); // closed between two blocks
            successes += ok;
            for (uint32_t run = 0, end = 0; ok && end < length; run = end) {
                while (end < length && out[end] == out[run])
                    ++end;
                // runs before the last are whole blocks
                ASSERT_TRUE(end == length || (end - run) % (units[out[run] & 7] * 8) == 0) << run;
            }
        }
    };
    std::vector<std::thread> threads;
    for (uint32_t length : {1u, 7u, 33u, 601u, 3000u})
        threads.emplace_back(read_rounds, length);
    threads.emplace_back([&] {
        while (reopening)
            failed_steps += orvexa_rndm_step() != 1;
    });
    for (int cycle = 0; cycle < 200; ++cycle) {
        orvexa_drv_close();
        if (cycle % 2)
            orvexa_drv_open(); // otherwise a reader reopens it
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    reopening = false;
    for (auto& t : threads)
        t.join();
    EXPECT_GE(count(ORVEXA_IOCTL_QUERY_INFO), 100u);
    EXPECT_EQ(std::make_tuple(wrong_room, failed_steps.load()), std::make_tuple(0, 0));
    EXPECT_GT(successes, 20);
    orvexa_drv_close();
    threads.clear();
    fake().opens.clear();
    fake().requests.clear();
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([] { EXPECT_EQ(orvexa_drv_open(), 1); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(std::make_tuple(fake().opens.size(), fake().requests.size()),
              std::make_tuple(1u, 1u));
}
