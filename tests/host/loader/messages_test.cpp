#include <climits>
#include <cstring>

#include "binding.h"
#include "loader_fixture.h"
#include "messages.h"

class MessagesTest : public LoaderTest {
  protected:
    void SetUp() override {
        LoaderTest::SetUp();
        loader.resource_module = lp_program_instance();
        ASSERT_TRUE(bind_reader_library());
    }
    std::string shown(int32_t id, int32_t code) {
        world().log.clear();
        ShowError(id, code);
        return log_text();
    }
};

TEST_F(MessagesTest, ReaderTextsThatFillTheBufferAreCutSoTheSuffixFits) {
    for (bool unterminated : {false, true}) {
        world().reader_texts[4001] = std::string(ORX_MESSAGE_TEXT - 1, 'x');
        world().reader_unterminated = unterminated;
        std::string text = shown(4001, 4001);
        EXPECT_EQ(text.size(), 4u + ORX_MESSAGE_TEXT - 1);
        EXPECT_EQ(text.substr(0, 5), unterminated ? "box R" : "box x");
        EXPECT_EQ(text.substr(text.size() - 8), " (4001 )");
    }
    char buffer[ORX_MESSAGE_TEXT];
    std::memset(buffer, 'y', ORX_MESSAGE_TEXT - 1);
    buffer[ORX_MESSAGE_TEXT - 1] = '\0';
    append_code_suffix(buffer, INT32_MIN);
    EXPECT_EQ(std::strlen(buffer), ORX_MESSAGE_TEXT - 1u);
    EXPECT_STREQ(buffer + ORX_MESSAGE_TEXT - 17, "y (-2147483648 )");
}

// Without a window there is no choice to store: the settings as they are, Auto RNG off.
TEST_F(MessagesTest, Status4101SavesTheSettingsAndRequestsTheKeyMedium) {
    user_key(ORX_SETTINGS_KEY);
    std::strcpy(loader.settings.DefaultKeyDev, "E:");
    bind_crypto_library();
    EXPECT_EQ(shown(ORX_KEY_MEDIUM_REQUEST, ORX_KEY_MEDIUM_REQUEST), "lokey 2880|lokey 2880");
    EXPECT_EQ(value(ORX_SETTINGS_KEY, "DefaultKeyDev"), "E:");
    EXPECT_EQ(value(ORX_SETTINGS_KEY, "RNGAutoDev"), "");
}
