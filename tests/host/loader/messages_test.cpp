#include <cstdint>

#include "binding.h"
#include "loader_fixture.h"
#include "messages.h"

using MessagesTest = LoaderTest;

// Without the reader library the program's own text, in an "Error" box, and without a window
// 4101 stores Auto RNG off. Texts that fill the buffer, the reader's (terminated or not) and
// the program's, are cut so that the code fits.
TEST_F(MessagesTest, TextsAndTheirCuts) {
    loader.resource_module = lp_program_instance();
    ShowError(4001, 4001);
    EXPECT_EQ(log_text() + "|" + world().box_caption, "box Internal error (4001 )|Error");
    ShowError(4001, ORX_KEY_MEDIUM_REQUEST);
    EXPECT_STREQ(loader.settings.RNGAutoDev, "");
    ASSERT_TRUE(bind_reader_library());
    world().reader_texts[4001] = std::string(ORX_MESSAGE_TEXT - 1, 'x');
    world().strings[{program_name, IDS_ERR_INTERNAL}] = std::string(ORX_MESSAGE_TEXT - 1, 'y');
    const std::pair<int32_t, std::string> cases[] = {
        {4001, "x (4001 )"}, {4001, "R (4001 )"}, {INT32_MIN, "y (-2147483648 )"}};
    for (auto& c : cases) {
        world().reader_unterminated = c.second[0] == 'R';
        world().log.clear();
        ShowError(c.first, c.first);
        const std::string fill(ORX_MESSAGE_TEXT - 1 - c.second.size(), c.second[0]);
        EXPECT_EQ(log_text(), "box " + fill + c.second);
    }
}
