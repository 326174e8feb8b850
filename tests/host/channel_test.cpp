#include <atomic>
#include <thread>

#include "library_fixture.h"

using ChannelTest = LibraryTest;

TEST_F(ChannelTest, ThePlatformChoosesThePathAndTheFirstOpenQueriesOnce) {
    const struct {
        bool version_ok;
        uint32_t id, major;
        const char* open; // null: refused with status 51 and nothing opened
    } cases[] = {
        {true, 1, 4, "\\\\.\\orvexa 1"},
        {true, 2, 4, "\\\\.\\OrvexaDev"},
        {true, 2, 10, "\\\\.\\OrvexaDev"},
        {true, 2, 3, nullptr},
        {true, 3, 6, nullptr},
        {true, 0, 4, nullptr},
        {false, 2, 6, nullptr},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version_ok << " " << c.id << "/" << c.major);
        orvexa_drv_close();
        fake().opens.clear();
        fake().version_ok = c.version_ok;
        fake().platform_id = c.id;
        fake().major = c.major;
        EXPECT_EQ(fresh(orvexa_drv_open), c.open != nullptr);
        EXPECT_EQ(status(), c.open ? 0u : 51u);
        EXPECT_EQ(fake().opens,
                  c.open ? std::vector<std::string>{c.open} : std::vector<std::string>{});
        EXPECT_EQ(fresh(orvexa_drv_open), c.open != nullptr); // opened once, queried once
        EXPECT_EQ(fake().requests.size(), 0u);
    }
}

// What the information record decides at open: the block length and the shared buffer
// (the block and its header, 2,048 bytes at least), or a failed open that holds nothing.
TEST_F(ChannelTest, OpenSizesTheBlockBufferOrFailsHoldingNothing) {
    const struct {
        uint32_t units;
        bool query_fails, allocation_fails;
        uint32_t status; // 0: opened, 9: failed keeping the caller's status
        size_t buffer;
    } cases[] = {
        {254, false, false, 0, 2048}, {255, false, false, 0, 2056},
        {300, false, false, 0, 2416}, {131072, false, false, 0, (1u << 20) + 16},
        {131073, false, false, 4, 0}, {0x20000001, false, false, 4, 0},
        {4, true, false, 1, 0},       {4, false, true, 9, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.units);
        orvexa_drv_close();
        words[5] = c.units;
        fake().allocations = fake().frees = 0;
        fake().last_allocation = 0;
        fake().fail_allocation = c.allocation_fails ? 0 : -1;
        fixed.clear();
        if (c.query_fails)
            fixed[ORVEXA_IOCTL_QUERY_INFO] = fails_with(31);
        orx_set_status(9);
        EXPECT_EQ(orvexa_drv_open(), c.status == 0);
        EXPECT_EQ(status(), c.status ? c.status : 9u);
        EXPECT_EQ(fake().live_devices, c.status == 0);
        EXPECT_EQ(buffers_held(), c.status == 0);
        EXPECT_EQ(fake().last_allocation, c.buffer);
        EXPECT_EQ(orx_block_length(), c.status ? 0 : c.units * 8);
    }
    orvexa_drv_close();
    orvexa_drv_close(); // harmless twice
    EXPECT_EQ(buffers_held(), 0);
    ASSERT_EQ(orvexa_drv_open(), 1);
    orx_process_detach(); // closes the device and frees the buffer
    EXPECT_EQ(fake().live_devices, 0);
    EXPECT_EQ(buffers_held(), 0);
    orx_process_attach();
}

// The block read checks the driver status before the checksum.
TEST_F(ChannelTest, BlockReadChecksStatusThenLengthThenChecksum) {
    std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 9};
    const struct {
        FakeAnswer reply;
        int result;
        uint32_t status;
    } cases[] = {
        {replies(fake_header(0x00010005, 0x77, 8, block)), 0, 5},
        {replies(fake_header(0, 0x77, 7, block)), 0, 4},
        {replies(fake_header(0, 0x77, 8, block)), 0, 2},
        {replies(fake_header(0, 0x100 | 9, 8, block)), 0, 2},
        {fails_with(31), 0, 1},
        {replies(fake_header(0, 9, 8, block)), 1, 1},
    };
    orx_block_lock();
    EXPECT_EQ(orx_block_read(), 0); // closed: no device, no buffer to read into
    orx_block_unlock();
    EXPECT_EQ(status(), 1u);
    words[5] = 1;
    ASSERT_EQ(orvexa_drv_open(), 1);
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_BLOCK_READ] = c.reply;
        orx_block_lock();
        EXPECT_EQ(orx_block_read(), c.result);
        orx_block_unlock();
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(last_request().out_size, 24u);
        EXPECT_TRUE(last_request().in.empty());
    }
    EXPECT_EQ(std::vector<uint8_t>(orx_block_data(), orx_block_data() + 8), block);
    orvexa_drv_close();
    words[5] = 0; // a block of no bytes is refused before anything is sent
    ASSERT_EQ(fresh(orvexa_drv_open), 1);
    orx_block_lock();
    EXPECT_EQ(orx_block_read(), 0);
    orx_block_unlock();
    EXPECT_EQ(status(), 4u);
    EXPECT_EQ(count(ORVEXA_IOCTL_BLOCK_READ), 0u);
}

// A request holds its device: a close meanwhile withdraws it, and its handle is closed
// once the request is done; the next request opens the device again.
TEST_F(ChannelTest, ACloseDuringARequestClosesTheDeviceWhenTheRequestIsDone) {
    std::vector<int> live_during;
    auto base = fake().handler;
    fake().handler = [&live_during, base](const FakeRequest& r) {
        if (r.code == ORVEXA_IOCTL_RNDM_STEP) {
            orvexa_drv_close();
            live_during.push_back(fake().live_devices);
        }
        return base(r);
    };
    EXPECT_EQ(orvexa_rndm_step(), 1);
    EXPECT_EQ(fake().live_devices, 0);
    EXPECT_EQ(buffers_held(), 0);
    EXPECT_EQ(orvexa_rndm_step(), 1);
    EXPECT_EQ(live_during, (std::vector<int>{1, 1}));
    EXPECT_EQ(count(ORVEXA_IOCTL_QUERY_INFO), 2u);
    EXPECT_EQ(fake().live_devices, 0);
}

TEST_F(ChannelTest, ThreadsMakingTheFirstCallAtOnceOpenTheDeviceOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> opened{0};
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&opened] { opened += orvexa_drv_open(); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(opened, 8);
    EXPECT_EQ(fake().opens.size(), 1u);
    EXPECT_EQ(GetDLLVersion(), 0x00010006u);
}

// Readers of odd lengths while another thread closes and reopens the channel, each open
// finding another block length (8 to 2400 bytes), and a command request beside them. Each
// block is one value, (its number << 3 | its length's tag), so a copy that used a stale
// length, or a block mixed between readers, shows as a run that is not whole blocks.
TEST_F(ChannelTest, ReadersKeepTheirBlocksWhileTheChannelIsReopened) {
    const uint32_t units[] = {1, 300, 5, 255, 3};
    size_t generation = 0;
    uint8_t number = 0;
    int wrong_room = 0; // block reads whose output room is not the length + 16
    auto base = fake().handler;
    fake().handler = [&](const FakeRequest& r) {
        std::lock_guard<std::mutex> guard(driver_lock);
        if (r.code == ORVEXA_IOCTL_QUERY_INFO)
            words[5] = units[generation = (generation + 1) % 5];
        if (r.code != ORVEXA_IOCTL_BLOCK_READ)
            return drive(r);
        uint32_t length = units[generation] * 8;
        wrong_room += r.out_size != length + 16;
        std::vector<uint8_t> block(length, uint8_t(++number << 3 | generation));
        return replies(fake_header(0, length % 2 ? block[0] : 0, length, block));
    };
    std::atomic<bool> reopening{true};
    std::atomic<int> failed_steps{0}, successes{0};
    auto read_rounds = [&](uint32_t length) {
        for (int round = 0; reopening || round < 20; ++round) {
            std::vector<uint8_t> out(length + 16, 0);
            int ok = orvexa_rndm_get_bytes(out.data(), length);
            for (uint32_t i = length; i < out.size(); ++i)
                ASSERT_EQ(out[i], 0) << "written past " << length;
            if (!ok) {
                ASSERT_EQ(status(), 1u); // closed between two blocks
                continue;
            }
            ++successes;
            for (uint32_t run = 0, end = 0; end < length; run = end) {
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
    EXPECT_EQ(wrong_room, 0);
    EXPECT_EQ(failed_steps, 0);
    EXPECT_GT(successes, 20);
    orvexa_drv_close();
    EXPECT_EQ(fake().live_devices, 0);
    EXPECT_EQ(buffers_held(), 0);
}
