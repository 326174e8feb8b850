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

TEST_F(MessagesTest, OwnIdsShowTheirTextOthersTheInternalErrorOrTheReaders) {
    world().strings[{program_name, IDS_ERR_KEY_HOARDER}] = "Hoarder";
    EXPECT_EQ(shown(IDS_ERR_KEY_HOARDER, 7), "box Hoarder (7 )");
    for (int id : {-2, 2, int(IDS_ERROR_CAPTION), 508, 3999})
        EXPECT_EQ(shown(id, id), "box Internal error (" + std::to_string(id) + " )");
    EXPECT_EQ(world().box_caption, "Error");
    EXPECT_EQ(world().box_flags, ORX_ERROR_BOX_FLAGS);
    world().reader_texts[4000] = "Card reader not found";
    EXPECT_EQ(shown(4000, 4000), "box Card reader not found (4000 )");
    EXPECT_EQ(shown(4102, 4102), "box Internal error (4102 )");
    loader.rdr_error_a = nullptr; // no reader library bound
    EXPECT_EQ(shown(4000, 4000), "box Internal error (4000 )");
}

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
