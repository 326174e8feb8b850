#include <thread>

#include "library_fixture.h"

using ChannelTest = LibraryTest;

// The platform picks the path (" 1": shared); a failed open holds nothing; the record gives the
// block length and the shared buffer (the block and its header, 2,048 bytes at least). A
// failure of 9 keeps the caller's status.
TEST_F(ChannelTest, OpenPicksThePathAndSizesTheBlockBufferOrHoldsNothing) {
    const std::string paths[] = {"", "\\\\.\\orvexa 1", "\\\\.\\OrvexaDev"};
    // version known, platform id, major version, block units, the query fails, no memory; the
    // failure (0: none), the path opened, the buffer's size
    const uint32_t cases[][9] = {
        {1, 2, 3, 4, 0, 0, 51, 0, 0},     {1, 1, 4, 254, 0, 0, 0, 1, 2048},
        {1, 2, 4, 255, 0, 0, 0, 2, 2056}, {1, 2, 10, 131072, 0, 0, 0, 2, 1048592},
        {1, 3, 6, 4, 0, 0, 51, 0, 0},     {0, 2, 6, 4, 0, 0, 51, 0, 0},
        {1, 2, 6, 131073, 0, 0, 4, 2, 0}, {1, 2, 6, 0x20000001, 0, 0, 4, 2, 0},
        {1, 2, 6, 4, 1, 0, 1, 2, 0},      {1, 2, 6, 4, 0, 1, 9, 2, 0},
    };
    for (auto [version_ok, id, major, units, query_fails, no_memory, failure, path, size] : cases) {
        orvexa_drv_close();
        std::tie(fake().version_ok, fake().platform_id, fake().major, words[5]) =
            make_tuple(version_ok, id, major, units);
        std::tie(fake().last_allocation, fake().fail_allocation, fake().opens) =
            make_tuple(0, long(no_memory) - 1, std::vector<std::string>());
        if (query_fails)
            fixed[ORVEXA_IOCTL_QUERY_INFO] = fails(31);
        orx_set_status(9);
        EXPECT_EQ(orvexa_drv_open(), !failure) << units;
        fixed.clear();
        EXPECT_EQ(make_tuple(status(), fake().live_devices, held(), fake().last_allocation,
                             orx_block_length(), fake().opens.empty() ? "" : fake().opens[0]),
                  make_tuple(failure ? failure : 9, int(!failure), long(!failure), size_t(size),
                             failure ? 0 : units * 8, paths[path]));
    }
    orvexa_drv_close(); // harmless twice
    ASSERT_EQ(orvexa_drv_open(), 1);
    orx_process_detach(); // closes the device and frees the buffer
    EXPECT_EQ(make_tuple(fake().live_devices, held()), make_tuple(0, 0L));
    orx_process_attach();
}

// The block read checks the driver status, then the length, then the checksum; closed, or
// with blocks of no bytes, it sends nothing.
TEST_F(ChannelTest, BlockReadChecksStatusThenLengthThenChecksum) {
    auto read = [] {
        scoped_block_lock guard;
        return orx_block_read();
    };
    EXPECT_EQ(run(read), make_tuple(0, 1u));
    words[5] = 0;
    ASSERT_EQ(orvexa_drv_open(), 1);
    EXPECT_EQ(run(read), make_tuple(0, 4u));
    EXPECT_EQ(count(ORVEXA_IOCTL_BLOCK_READ), 0u);
    orvexa_drv_close();
    words[5] = 1;
    Bytes block = {1, 2, 3, 4, 5, 6, 7, 9};
    const uint32_t cases[][5] = {
        // status, checksum, length, result, the status after (1: the call fails, 9: kept)
        {0x00010005, 0x77, 8, 0, 5}, {0, 0x77, 7, 0, 4}, {0, 0x77, 8, 0, 2},
        {0, 0x109, 8, 0, 2},         {0, 9, 8, 0, 1},    {0, 9, 8, 1, 9},
    };
    for (auto& c : cases) {
        fixed[ORVEXA_IOCTL_BLOCK_READ] =
            c[4] == 1 ? fails(31) : ok(frame(c[0], 0, c[1], c[2], block));
        ASSERT_EQ(orvexa_drv_open(), 1);
        EXPECT_EQ(run(read), make_tuple(int(c[3]), c[4]));
        EXPECT_EQ(make_tuple(last_request().out_size, last_request().in), make_tuple(24u, Bytes()));
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
        EXPECT_EQ(make_tuple(fake().live_devices, held()), make_tuple(0, 0L));
    }
    EXPECT_EQ(make_tuple(live_during, count(ORVEXA_IOCTL_QUERY_INFO), GetDLLVersion()),
              make_tuple(std::vector<int>{1, 1}, size_t(2), 0x00010006u));
}

// Readers of odd lengths while the channel is closed again and again, each reopening finding
// another block length (8 to 2,400 bytes): a copy with a stale length reads past the block
// buffer, a freed buffer is read after free, a block read unlocked is a race; the sanitizers
// see each.
TEST_F(ChannelTest, ReadersKeepTheirBlocksWhileTheChannelIsReopened) {
    const uint32_t units[] = {1, 300, 5, 255, 3};
    size_t opens = 0;
    fake().handler = [&](const FakeRequest& r) {
        std::lock_guard<std::mutex> guard(driver_lock);
        if (r.code == ORVEXA_IOCTL_QUERY_INFO)
            words[5] = units[++opens % 5];
        return drive(r);
    };
    std::vector<std::thread> readers;
    for (uint32_t length : {1u, 33u, 601u, 3000u})
        readers.emplace_back([this, length] {
            for (int round = 0; round < 100; ++round) {
                Bytes out(length);
                ASSERT_TRUE(orvexa_rndm_get_bytes(out.data(), length) || status() == 1u);
            }
        });
    for (int cycle = 0; cycle < 300; ++cycle) {
        orvexa_drv_close();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    for (auto& t : readers)
        t.join();
}
