#ifndef ORX_TESTS_LOADER_FIXTURE_H
#define ORX_TESTS_LOADER_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "../common/registry.h"
#include "../common/seed_mask.h"
#include "fake_platform.h"
#include "fake_world.h"
#include "loader_state.h"
#include "settings.h"
#include "startup.h"

// The attention signal of the unattended modes, as the log shows it.
#define SIGNAL "sleep 200|beep 440/200|sleep 2000"

class LoaderTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_world(); }
    void TearDown() override {
        EXPECT_FALSE(world().nonzero_selector);
        EXPECT_EQ(fake().open_keys, 0);
    }
    int run(std::string command_line) { return run_loader(&command_line[0]); }
    static std::string value(const char* key, const char* name) {
        return string_value(user_key(key), name).c_str();
    }
};

#endif
