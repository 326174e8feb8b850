#include "binding.h"
#include "loader_fixture.h"
#include "messages.h"

using MessagesTest = LoaderTest;

// The reader's texts from its first code on (terminated or not) and, without the reader library or
// without a text of its, the program's "Internal error", all in an "Error" box and cut so that the
// code fits. Without a window 4101 stores Auto RNG off.
TEST_F(MessagesTest, TextsAndTheirCuts) {
    loader.resource_module = lp_program_instance();
    world().strings[{program_name, IDS_ERR_INTERNAL}] = std::string(ORX_MESSAGE_TEXT - 1, 'y');
    world().reader_texts[4000] = std::string(ORX_MESSAGE_TEXT - 1, 'x');
    // The text's last character and the code appended, which is also the one shown.
    for (std::string end :
         {"y (4000 )", "x (4000 )", "R (4000 )", "y (4001 )", "y (-2147483648 )"}) {
        world().reader_unterminated = end[0] == 'R';
        world().log.clear();
        ShowError(std::stoi(end.substr(3)), std::stoi(end.substr(3)));
        const std::string fill(ORX_MESSAGE_TEXT - 1 - end.size(), end[0]);
        EXPECT_EQ(log_text() + "|" + world().box_caption, "box " + fill + end + "|Error");
        bind_reader_library(); // the first text comes without it
    }
    ShowError(4001, ORX_KEY_MEDIUM_REQUEST);
    EXPECT_STREQ(loader.settings.RNGAutoDev, "");
}
