#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "library_fixture.h"
#include "orxlink.h"

using ChannelTest = LibraryTest;

TEST_F(ChannelTest, FirstOpenQueriesOnceOnTheNtPathAndLaterOpensSendNothing) {
    ASSERT_EQ(orvexa_drv_open(), 1);
    ASSERT_EQ(fake().requests.size(), 1u);
    const FakeRequest& query = fake().requests[0];
    EXPECT_EQ(query.code, 0x9C402400u);
    EXPECT_EQ(query.in, std::vector<uint8_t>(16, 0));
    EXPECT_EQ(query.out_size, 80u);
    EXPECT_EQ(fake().open_paths, std::vector<std::string>{"\\\\.\\OrvexaDev"});
    EXPECT_EQ(fake().open_shared, std::vector<int>{0});

    EXPECT_EQ(orvexa_drv_open(), 1);
    EXPECT_EQ(fake().requests.size(), 1u);
    EXPECT_EQ(orvexa_drv_last_status(), 0u);
}

TEST_F(ChannelTest, PlatformRuleChoosesThePathOrFailsWithOpenError) {
    struct {
        bool version_ok;
        uint32_t id, major;
        const char* path; // null: refused with status 51 and nothing opened
        int shared;
    } cases[] = {
        {true, 1, 4, "\\\\.\\orvexa", 1},
        {true, 2, 4, "\\\\.\\OrvexaDev", 0},
        {true, 2, 5, "\\\\.\\OrvexaDev", 0},
        {true, 2, 6, "\\\\.\\OrvexaDev", 0},
        {true, 2, 10, "\\\\.\\OrvexaDev", 0},
        {true, 2, 3, nullptr, 0},
        {true, 3, 6, nullptr, 0},
        {true, 0, 4, nullptr, 0},
        {false, 2, 6, nullptr, 0},
    };
    for (auto& c : cases) {
        fake_reset();
        orx_set_status(0);
        fake().version_ok = c.version_ok;
        fake().platform_id = c.id;
        fake().major = c.major;
        SCOPED_TRACE(testing::Message() << c.version_ok << " " << c.id << "/" << c.major);
        if (!c.path) {
            EXPECT_EQ(orvexa_drv_open(), 0);
            EXPECT_EQ(orvexa_drv_last_status(), 51u);
            EXPECT_TRUE(fake().open_paths.empty());
            continue;
        }
        EXPECT_EQ(orvexa_drv_open(), 1);
        EXPECT_EQ(orvexa_drv_last_status(), 0u);
        EXPECT_EQ(fake().open_paths, std::vector<std::string>{c.path});
        EXPECT_EQ(fake().open_shared, std::vector<int>{c.shared});
        orvexa_drv_close();
    }
}

TEST_F(ChannelTest, OpenFailuresLeaveTheLibraryClosedAndTheNextCallRetries) {
    fake().open_fails = true;
    orvexa_drv_info record;
    std::memset(&record, 0xAB, sizeof record);
    EXPECT_EQ(orvexa_drv_query_info(&record, 0), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 51u);
    EXPECT_EQ(record.word[0], 0xABABABABu); // untouched
    char name[32];
    EXPECT_EQ(orvexa_drv_status_name(name, 31), 17);
    EXPECT_STREQ(name, "DRIVER_OPEN_ERROR");

    fake().open_fails = false;
    answer(ORVEXA_IOCTL_QUERY_INFO, fails_with(31));
    EXPECT_EQ(orvexa_drv_open(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_EQ(fake().live_devices, 0);

    fake_reset();
    orx_set_status(9);
    fake().fail_allocation = 0; // the shared block buffer
    EXPECT_EQ(orvexa_drv_open(), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 9u);
    EXPECT_EQ(fake().live_devices, 0);
    EXPECT_EQ(fake().frees, 0);

    EXPECT_EQ(orvexa_drv_open(), 1);
    EXPECT_EQ(fake().live_devices, 1);
}

TEST_F(ChannelTest, SharedBlockBufferIsBlockLengthPlusHeaderButAtLeast2048) {
    struct {
        uint32_t units, length, size;
    } cases[] = {{100, 800, 2048}, {254, 2032, 2048}, {255, 2040, 2056}, {300, 2400, 2416}};
    for (auto& c : cases) {
        fake_reset(c.units);
        ASSERT_EQ(orvexa_drv_open(), 1);
        EXPECT_EQ(orx_block_length(), c.length);
        ASSERT_EQ(fake().allocation_sizes.size(), 1u);
        EXPECT_EQ(fake().allocation_sizes[0], c.size);
        orvexa_drv_close();
        EXPECT_EQ(buffers_held(), 0);
    }
}

TEST_F(ChannelTest, AnAbsurdBlockLengthFailsTheOpenWithoutAllocating) {
    for (uint32_t units : {0x1FFFFFFFu, 0x20000001u, 131073u}) {
        fake_reset(units);
        orx_set_status(0);
        EXPECT_EQ(orvexa_drv_open(), 0) << units;
        EXPECT_EQ(orvexa_drv_last_status(), 4u);
        EXPECT_EQ(fake().allocations, 0);
        EXPECT_EQ(fake().live_devices, 0);
    }
    fake_reset(131072); // 1 MiB blocks are still accepted
    EXPECT_EQ(orvexa_drv_open(), 1);
    EXPECT_EQ(fake().allocation_sizes.back(), (1u << 20) + 16);
}

TEST_F(ChannelTest, CloseIsHarmlessTwiceAndReopenQueriesAgain) {
    orvexa_drv_close();
    {
        scoped_block_lock guard;
        EXPECT_EQ(orx_block_read(), 0); // closed: no device, no buffer to read into
    }
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    EXPECT_TRUE(fake().requests.empty());
    ASSERT_EQ(orvexa_drv_open(), 1);
    orvexa_drv_close();
    orvexa_drv_close();
    EXPECT_EQ(fake().closes, 1);
    EXPECT_EQ(buffers_held(), 0);
    ASSERT_EQ(orvexa_drv_open(), 1);
    EXPECT_EQ(count(ORVEXA_IOCTL_QUERY_INFO), 2u);
    EXPECT_EQ(buffers_held(), 1);
}

TEST_F(ChannelTest, DetachWhileOpenFreesTheBufferAndClosesTheDevice) {
    ASSERT_EQ(orvexa_drv_open(), 1);
    orx_process_detach();
    EXPECT_EQ(buffers_held(), 0);
    EXPECT_EQ(fake().live_devices, 0);
    orx_process_attach(); // for TearDown
}

TEST_F(ChannelTest, GetInfoCopiesTheRecordAndNeedsNoDeviceForTheVersion) {
    fake().open_fails = true;
    EXPECT_EQ(GetDLLVersion(), 0x00010006u);
    EXPECT_TRUE(fake().requests.empty());
    fake().open_fails = false;
    orvexa_drv_info record = {};
    ASSERT_EQ(orvexa_drv_get_info(&record), 1);
    EXPECT_EQ(last_request().in, std::vector<uint8_t>(16, 0)); // selector 0
    EXPECT_EQ(record.word[5], 64u);
    EXPECT_EQ(record.word[7], 1u);
    EXPECT_EQ(orvexa_drv_get_info(nullptr), 0);
    EXPECT_EQ(orvexa_drv_last_status(), 3u);
}

TEST_F(ChannelTest, ThreadsMakingTheFirstCallAtOnceOpenTheDeviceOnce) {
    std::vector<std::thread> threads;
    std::vector<int> results(8, -1);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&results, i] { results[i] = orvexa_drv_open(); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(results, std::vector<int>(8, 1));
    EXPECT_EQ(fake().open_paths.size(), 1u);
    EXPECT_EQ(count(ORVEXA_IOCTL_QUERY_INFO), 1u);
}

// The block read checks the driver status before the checksum.
TEST_F(ChannelTest, SingleBlockReadChecksStatusThenLengthThenChecksum) {
    fake_reset(1); // 8-byte blocks
    ASSERT_EQ(orvexa_drv_open(), 1);
    std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 9};
    struct {
        std::vector<uint8_t> reply;
        int result;
        uint32_t status;
    } cases[] = {
        {fake_header(0x00010005, 0x77, 8, block), 0, 5},
        {fake_header(0, 0x77, 7, block), 0, 4},
        {fake_header(0, 0x77, 8, block), 0, 2},
        {fake_header(0, 0x100 | 9, 8, block), 0, 2},
        {fake_header(0, 9, 8, block), 1, 2},
    };
    for (auto& c : cases) {
        answer(ORVEXA_IOCTL_BLOCK_READ, replies(c.reply));
        {
            scoped_block_lock guard;
            EXPECT_EQ(orx_block_read(), c.result);
        }
        EXPECT_EQ(orvexa_drv_last_status(), c.status);
        EXPECT_EQ(last_request().out_size, 24u);
        EXPECT_TRUE(last_request().in.empty());
    }
    EXPECT_EQ(std::vector<uint8_t>(orx_block_data(), orx_block_data() + 8), block);
    answer(ORVEXA_IOCTL_BLOCK_READ, fails_with(1));
    {
        scoped_block_lock guard;
        EXPECT_EQ(orx_block_read(), 0);
    }
    EXPECT_EQ(orvexa_drv_last_status(), 1u);
    orvexa_drv_close();
    fake_reset(0); // a block of no bytes is refused before anything is sent
    ASSERT_EQ(orvexa_drv_open(), 1);
    {
        scoped_block_lock guard;
        EXPECT_EQ(orx_block_read(), 0);
    }
    EXPECT_EQ(orvexa_drv_last_status(), 4u);
    EXPECT_EQ(count(ORVEXA_IOCTL_BLOCK_READ), 0u);
}

// The request holds its device: a close meanwhile withdraws it, and its handle is closed
// once the request is done; the next request opens the device again.
TEST_F(ChannelTest, ACloseDuringARequestClosesTheDeviceWhenTheRequestIsDone) {
    ASSERT_EQ(orvexa_drv_open(), 1);
    std::vector<int> closes_during;
    FakeHandler base = fake().handler;
    fake().handler = [&closes_during, base](const FakeRequest& r) {
        if (r.code == ORVEXA_IOCTL_RNDM_STEP) {
            orvexa_drv_close();
            closes_during.push_back(fake().closes);
        }
        return base(r);
    };
    EXPECT_EQ(orvexa_rndm_step(), 1);
    EXPECT_EQ(fake().closes, 1);
    EXPECT_EQ(buffers_held(), 0);
    EXPECT_EQ(orvexa_rndm_step(), 1);
    EXPECT_EQ(closes_during, (std::vector<int>{0, 1}));
    EXPECT_EQ(count(ORVEXA_IOCTL_QUERY_INFO), 2u);
    EXPECT_EQ(fake().live_devices, 0);
}

// Four readers of odd lengths while another thread closes and reopens the channel, each
// open finding another block length (8 to 2400 bytes), and a command request beside them.
// Every block is filled with the tag of its length, so a copy that used a stale length
// shows as a run that is not a whole number of blocks, or as bytes beyond the block.
TEST_F(ChannelTest, ReadersKeepTheirByteCountsWhileTheChannelIsReopened) {
    const uint32_t units[] = {1, 300, 5, 255, 3};
    std::mutex driver_lock;
    size_t generation = 0; // index of the length the last information query reported
    int wrong_room = 0;    // block reads whose output room is not that length + 16
    fake().handler = [&](const FakeRequest& r) {
        std::lock_guard<std::mutex> guard(driver_lock);
        FakeAnswer a;
        if (r.code == ORVEXA_IOCTL_QUERY_INFO) {
            generation = (generation + 1) % 5;
            a.out = fake_info(units[generation]);
        } else if (r.code == ORVEXA_IOCTL_BLOCK_READ) {
            uint32_t length = units[generation] * 8;
            wrong_room += r.out_size != length + 16;
            uint8_t tag = uint8_t(generation + 1);
            a.out = fake_header(0, 0, length, std::vector<uint8_t>(length, tag));
        } else {
            a.out = fake_header(0, 0, 0);
        }
        return a;
    };
    std::atomic<bool> reopening{true};
    std::atomic<int> stray_requests{0};
    std::vector<int> successes(4, 0);
    auto read_rounds = [&](int index, uint32_t length) {
        for (int round = 0; reopening || round < 20; ++round) {
            std::vector<uint8_t> out(length + 16, 0);
            int ok = orvexa_rndm_get_bytes(out.data(), length);
            for (uint32_t i = length; i < out.size(); ++i)
                ASSERT_EQ(out[i], 0) << "written past " << length;
            if (!ok) {
                ASSERT_EQ(orvexa_drv_last_status(), 1u); // closed between two blocks
                continue;
            }
            ++successes[index];
            for (uint32_t run = 0; run < length;) {
                uint8_t tag = out[run];
                ASSERT_TRUE(tag >= 1 && tag <= 5) << "byte " << run << " is " << int(tag);
                uint32_t end = run;
                while (end < length && out[end] == tag)
                    ++end;
                if (end < length) { // runs before the last are whole blocks
                    ASSERT_EQ((end - run) % (units[tag - 1] * 8), 0u) << "at " << run;
                }
                run = end;
            }
        }
    };
    std::vector<std::thread> threads;
    const uint32_t lengths[] = {1, 7, 33, 601};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back(read_rounds, i, lengths[i]);
    threads.emplace_back([&] {
        while (reopening) {
            stray_requests += orvexa_rndm_step() != 1;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
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
    EXPECT_GE(count(ORVEXA_IOCTL_QUERY_INFO), 100u); // at least every second cycle reopens
    EXPECT_EQ(wrong_room, 0);
    EXPECT_EQ(stray_requests, 0);
    for (int n : successes)
        EXPECT_GT(n, 0);
    orvexa_drv_close();
    EXPECT_EQ(fake().live_devices, 0);
    EXPECT_EQ(buffers_held(), 0);
}
