#include <cstring>

#include "loader_fixture.h"
#include "binding.h"
#include "messages.h"

class MessagesTest : public LoaderTest {
  protected:
    void SetUp() override {
        LoaderTest::SetUp();
        loader.resource_module = lp_program_instance();
        bind_reader();
    }
    void bind_reader() {
        loader.rdr_error_a = reinterpret_cast<rdr_error_a_fn>(
            lp_entry_point(lp_loaded_module("rdr.dll"), "rdr_error_a"));
    }
    std::string shown(int32_t id, int32_t code) {
        world().boxes.clear();
        ShowError(id, code);
        return world().boxes.empty() ? "<no box>" : world().boxes.back().text;
    }
};

TEST_F(MessagesTest, TextChoiceAndSuffix) {
    EXPECT_EQ(shown(3, 3), "Error driver ORVEXA (3 )");
    EXPECT_EQ(shown(40, 3), "Can`t  reset key (3 )");
    EXPECT_EQ(shown(505, 505), "Internal error (505 )");
    EXPECT_EQ(shown(-2, -2), "Internal error (-2 )");
    EXPECT_EQ(shown(6, 6), " (6 )"); // a string the module lacks is empty
    world().reader_texts[4100] = "Card reader not found";
    EXPECT_EQ(shown(4100, 4100), "Card reader not found (4100 )");
    EXPECT_EQ(shown(4102, 4102), "Internal error (4102 )");
    loader.rdr_error_a = nullptr; // no reader library bound
    EXPECT_EQ(shown(4100, 4100), "Internal error (4100 )");
    bind_reader();
    EXPECT_EQ(world().boxes.back().caption, "Error");
    EXPECT_EQ(world().boxes.back().flags, 0x2010u);
}

TEST_F(MessagesTest, ReaderTextsThatFillTheBufferAreCutSoTheSuffixFits) {
    world().reader_texts[4001] = std::string(259, 'x');
    std::string text = shown(4001, 4001);
    EXPECT_EQ(text.size(), 259u);
    EXPECT_EQ(text.substr(text.size() - 8), " (4001 )");

    world().reader_unterminated = true;
    text = shown(4001, 4001);
    EXPECT_EQ(text.size(), 259u);
    EXPECT_EQ(text.substr(0, 3), "RRR");
    EXPECT_EQ(text.substr(text.size() - 8), " (4001 )");

    char buffer[260];
    std::memset(buffer, 'y', 259);
    buffer[259] = '\0';
    append_code_suffix(buffer, INT32_MIN);
    EXPECT_EQ(std::strlen(buffer), 259u);
    EXPECT_STREQ(buffer + 259 - 15, " (-2147483648 )");
}

TEST_F(MessagesTest, Status4101SavesTheSettingsAndRequestsTheKeyMedium) {
    user_key("SOFTWARE\\DEZURE\\Cryptography\\orxload");
    std::strcpy(loader.settings.DefaultKeyDev, "A:\\");
    bind_crypto_library();
    EXPECT_EQ(shown(4101, 4101), "<no box>");
    EXPECT_EQ(world().lokey_calls, (std::vector<std::string>{"get 2880", "free 2880"}));
    EXPECT_EQ(string_value(user_key("SOFTWARE\\DEZURE\\Cryptography\\orxload"), "DefaultKeyDev"),
              std::string("A:\\", 4));
}
