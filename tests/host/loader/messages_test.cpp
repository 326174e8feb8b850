#include <climits>
#include <cstring>

#include "binding.h"
#include "loader_fixture.h"
#include "messages.h"

using MessagesTest = LoaderTest;

TEST_F(MessagesTest, ReaderTextsThatFillTheBufferAreCutSoTheSuffixFits) {
    loader.resource_module = lp_program_instance();
    ASSERT_TRUE(bind_reader_library());
    for (bool unterminated : {false, true}) {
        world().reader_texts[4001] = std::string(ORX_MESSAGE_TEXT - 1, 'x');
        world().reader_unterminated = unterminated;
        world().log.clear();
        ShowError(4001, 4001);
        std::string text = log_text();
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
