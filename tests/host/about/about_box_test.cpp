// ShowAboutBox's flow: the dialog run for the module, owner and product given, and every
// failure told to the operator in the box's language, with no dialog after it.
#include <gtest/gtest.h>

#include <functional>

#include "about_box.h"
#include "about_texts.h"
#include "fake_about.h"

namespace {

int program_module;
void* const module = &program_module;
int owner_window;
void* const owner = &owner_window;

// Whatever the dialog ends with, 0 included, is its result and no failure.
TEST(AboutBox, RunsTheDialogWithTheModuleOwnerAndProduct) {
    const char* product = "orxload";
    for (int result : {1, 0}) {
        about_reset(module);
        about_world().dialog_result = result;
        EXPECT_EQ(ShowAboutBox(module, owner, 114, product), result);
        EXPECT_EQ(about_world().dialog_instance, module);
        EXPECT_EQ(about_world().dialog_owner, owner);
        EXPECT_EQ(about_world().dialog_product, product);
        EXPECT_TRUE(about_world().boxes.empty());
    }
}

TEST(AboutBox, FailuresAreToldInTheBoxLanguage) {
    struct Case {
        std::string what;
        std::function<void()> spoil;
        const char* AboutTexts::*message;
        int dialog_runs;
    };
    const auto version_error = &AboutTexts::version_info_error;
    std::vector<Case> cases = {
        {"another module", [] { about_world().module_files.clear(); }, version_error, 0},
        {"no version resource", [] { about_world().version_values.clear(); }, version_error, 0},
        {"unreadable resource", [] { about_world().version_info_fails = true; }, version_error, 0},
        {"dialog cannot run", [] { about_world().dialog_result = -1; }, &AboutTexts::memory_error,
         1},
    };
    for (const char* name : {"LegalCopyright", "FileDescription", "FileVersion"})
        cases.push_back({std::string("no ") + name,
                         [name] {
                             about_world().version_values["C:\\orx\\orxload.exe"].erase(
                                 std::string("\\StringFileInfo\\041904B0\\") + name);
                         },
                         version_error, 0});
    // Every text is converted twice (counted, then written): each call fails in turn.
    for (long call = 0; call < 14; ++call)
        cases.push_back({"conversion " + std::to_string(call),
                         [call] { about_world().fail_conversion = call; },
                         &AboutTexts::memory_error, 0});

    for (const Case& c : cases) {
        for (bool russian : {false, true}) {
            SCOPED_TRACE(c.what + (russian ? ", Russian" : ", English"));
            about_reset(module);
            if (russian) {
                about_world().code_pages = {"1251"};
                about_world().ansi_code_page = 1251;
            }
            c.spoil();
            EXPECT_EQ(ShowAboutBox(module, owner, 114, nullptr), -1);
            EXPECT_EQ(about_world().dialog_runs, c.dialog_runs);
            ASSERT_EQ(about_world().boxes.size(), 1u);
            const AboutTexts& texts = russian ? about_russian : about_english;
            EXPECT_EQ(about_world().boxes[0].owner, owner);
            EXPECT_EQ(about_world().boxes[0].text, texts.*c.message);
            EXPECT_EQ(about_world().boxes[0].caption, texts.caption);
        }
    }
}

} // namespace
