// ShowAboutBox's flow: the language choice, the version strings and their failures, and
// what the operator is told when the dialog cannot run.
#include <gtest/gtest.h>

#include "about_box.h"
#include "about_texts.h"
#include "fake_about.h"

namespace {

int program_module;
void* const module = &program_module;
int owner_window;
void* const owner = &owner_window;

std::map<std::string, std::string>& program_values() {
    return about_world().version_values["C:\\orx\\orxload.exe"];
}

class AboutBox : public ::testing::Test {
  protected:
    void SetUp() override { about_reset(module); }
};

TEST_F(AboutBox, RunsTheDialogWithTheModuleOwnerAndProduct) {
    const char* product = "orxload";
    EXPECT_EQ(ShowAboutBox(module, owner, 114, product), 1);
    EXPECT_EQ(about_world().dialog_instance, module);
    EXPECT_EQ(about_world().dialog_owner, owner);
    EXPECT_EQ(about_world().dialog_product, product);
    EXPECT_TRUE(about_world().boxes.empty());
    EXPECT_EQ(about_world().version_queries,
              (std::vector<std::string>{"\\StringFileInfo\\041904B0\\LegalCopyright",
                                        "\\StringFileInfo\\041904B0\\FileDescription",
                                        "\\StringFileInfo\\041904B0\\FileVersion"}));
}

TEST_F(AboutBox, NoCodePage1251MeansEnglishAfterLookingAtEveryPage) {
    about_world().code_pages = {"437", "12510", "125", "1252"};
    about_world().dialog_result = -1;
    ShowAboutBox(module, owner, 114, nullptr);
    EXPECT_EQ(about_world().code_pages_visited.size(), 4u);
    ASSERT_EQ(about_world().boxes.size(), 1u);
    EXPECT_EQ(about_world().boxes[0].caption, "About");
}

TEST_F(AboutBox, MissingVersionInformationIsReportedAndNoDialogRuns) {
    struct Case {
        const char* what;
        void (*spoil)();
    };
    const Case cases[] = {
        {"another module", [] { about_world().module_files.clear(); }},
        {"no version resource", [] { about_world().version_values.clear(); }},
        {"unreadable resource", [] { about_world().version_info_fails = true; }},
        {"no LegalCopyright",
         [] { program_values().erase("\\StringFileInfo\\041904B0\\LegalCopyright"); }},
        {"no FileDescription",
         [] { program_values().erase("\\StringFileInfo\\041904B0\\FileDescription"); }},
        {"no FileVersion",
         [] { program_values().erase("\\StringFileInfo\\041904B0\\FileVersion"); }},
    };
    for (const Case& c : cases) {
        for (bool russian : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (russian ? ", Russian" : ", English"));
            about_reset(module);
            if (russian) {
                about_world().code_pages = {"1251"};
                about_world().ansi_code_page = 1251;
            }
            c.spoil();
            EXPECT_EQ(ShowAboutBox(module, owner, 114, nullptr), -1);
            EXPECT_EQ(about_world().dialog_runs, 0);
            ASSERT_EQ(about_world().boxes.size(), 1u);
            const AboutTexts& texts = russian ? about_russian : about_english;
            EXPECT_EQ(about_world().boxes[0].owner, owner);
            EXPECT_EQ(about_world().boxes[0].text, texts.version_info_error);
            EXPECT_EQ(about_world().boxes[0].caption, texts.caption);
        }
    }
}

TEST_F(AboutBox, DialogThatCannotRunIsReportedAsLowMemory) {
    about_world().dialog_result = -1;
    EXPECT_EQ(ShowAboutBox(module, owner, 114, nullptr), -1);
    ASSERT_EQ(about_world().boxes.size(), 1u);
    EXPECT_EQ(about_world().boxes[0].text, "Error: low memory.");
    EXPECT_EQ(about_world().boxes[0].caption, "About");
}

} // namespace
