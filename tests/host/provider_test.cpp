#include "library_fixture.h"
#include "seed_mask.h"

class ProviderTest : public LibraryTest {
  public:
    const rndm_handle* table = orvexa_rndm_get_handle();
};

// The table's layout; what each pair sends (code, slot 0, which bytes as the seed, how many
// single bytes), which words of the record afterwards its answer needs, and what the record
// then asks for.
TEST_F(ProviderTest, EachPairSendsItsBytesAndAnswersOnItsWords) {
    EXPECT_EQ(std::make_tuple(table->size, table->reserved1, table->reserved2, table->get_type()),
              std::make_tuple(uint32_t(sizeof(rndm_handle)), nullptr, nullptr, 2));
    user_key(ORX_RANDOM_KEY).values[ORX_MASK_VALUE] = {3, Bytes(32)}; // adds nothing
    const Bytes data = bytes(64, 0);
    const int cases[][10] = {
        // kind, size, word 2 after a key-set request, word 3, the seed bytes' status; the
        // answer, the key-set code (0: none), its first seed byte, the single bytes sent, the
        // size of the seed material asked for next (64: blocks, kind 2; else kind 1)
        {1, 40, 1, 0, 0, 0, 14, 8, 8, 64},  {1, 40, 0, 0, 0, 3, 14, 8, 8, 32},
        {1, 40, 1, 0, 9, 3, 14, 8, 1, 8},   {1, 40, 1, 1, 9, 0, 14, 8, 1, 64},
        {1, 32, 1, 0, 0, 0, 14, 0, 0, 8},   {1, 32, 0, 1, 0, 3, 14, 0, 0, 32},
        {1, 8, 0, 0, 0, 0, 0, 0, 8, 32},    {1, 8, 1, 0, 9, 3, 0, 0, 1, 40},
        {2, 64, 1, 0, 0, 0, 13, 0, 0, 8},   {2, 64, 0, 1, 0, 3, 13, 0, 0, 32},
        {2, 4096, 1, 1, 0, 3, 0, 0, 0, 32}, {0, 0, 1, 1, 0, 2, 0, 0, 0, 32},
        {1, 41, 1, 1, 0, 2, 0, 0, 0, 32},   {2, 32, 1, 1, 0, 2, 0, 0, 0, 32},
    };
    int kind = 0, size = 0;
    for (auto& c : cases) {
        on_key_set = [&] { words[2] = c[2]; };
        std::tie(words[2], words[3], seed_bytes, seed_byte_status) = make_tuple(0, c[3], 0, c[4]);
        EXPECT_EQ(std::get<0>(run([&] { return table->put_seed(c[0], c[1], data.data()); })), c[5])
            << c[0] << "," << c[1];
        const FakeRequest* sent = last(ORVEXA_IOCTL_KEY_SET);
        EXPECT_EQ(make_tuple(count(ORVEXA_IOCTL_SEED_BYTE), sent ? int(word(sent->in, 0)) : 0),
                  make_tuple(size_t(c[8]), c[6]));
        if (sent) {
            EXPECT_EQ(make_tuple(word(sent->in, 1), sent->in.size(), int(sent->in[16])),
                      make_tuple(0u, size_t(c[0] == 2 ? 80 : 48), c[7]));
        }
        EXPECT_EQ(make_tuple(table->get_seed_need(&kind, &size), kind, size),
                  make_tuple(0, c[9] == 64 ? 2 : 1, c[9]));
    }
    EXPECT_EQ(run([&] { return table->put_seed(1, 32, nullptr); }), make_tuple(3, 3u));
    words[1] = 1; // ready and checked: nothing
    EXPECT_EQ(make_tuple(table->get_seed_need(&kind, &size), kind, size), make_tuple(0, 0, 0));
}

// Whole blocks and the first bytes of one more for a remainder; no bytes asks nothing.
TEST_F(ProviderTest, GetRandomReadsTheCeilingOfLengthOverBlockLength) {
    stream = bytes(7, 1);
    Bytes out(100, 0xEE);
    EXPECT_EQ(table->get_random(0, nullptr) + orvexa_rndm_get_bytes(out.data(), 0), 1);
    EXPECT_TRUE(fake().requests.empty()); // not even opened
    ASSERT_EQ(table->get_random(64, out.data()), 0);
    EXPECT_EQ(block_reads, 2);
    out.assign(100, 0xEE);
    ASSERT_EQ(orvexa_rndm_get_bytes(out.data(), 33), 1);
    EXPECT_EQ(std::make_tuple(block_reads, out[32], out[33]),
              std::make_tuple(4, 1 + (64 + 32) % 7, 0xEE));
    EXPECT_EQ(run([&] { return table->get_random(1, nullptr); }), make_tuple(3, 3u));
    fixed[ORVEXA_IOCTL_BLOCK_READ] = fails(31); // no block read is no bytes
    EXPECT_EQ(run([&] { return table->get_random(8, out.data()); }), make_tuple(3, 1u));
    char name[7]; // the status's name cut to the size given, after the count copied
    EXPECT_EQ(std::to_string(orvexa_drv_status_name(name, 6)) + name, "6ORX_DR");
    orvexa_drv_close();
    fake().open_fails = true;
    EXPECT_EQ(run([&] { return orvexa_rndm_get_bytes(out.data(), 8); }), make_tuple(0, 51u));
    EXPECT_EQ(std::to_string(orvexa_drv_status_name(name, 6)) + name, "6DRIVER");
}
