#ifndef ORX_TESTS_LOADER_FIXTURE_H
#define ORX_TESTS_LOADER_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "fake_loader.h"
#include "fake_platform.h"
#include "loader_state.h"
#include "startup.h"

// A machine with the driver answering, the crypto library as wbotho.dll, rdr.dll loaded
// by it, the Akkord library present, and English texts in the program.
class LoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_world();
        add_crypto_library(system_path("wbotho.dll"));
        add_reader_library();
        add_akkord_library();
        const char* texts[][2] = {
            {"3", "Error driver ORVEXA"}, {"40", "Can`t  reset key"},
            {"503", "Internal error"},    {"505", "Error"},
            {"506", "Loading..."},        {"507", "Loading library failed or Verba not installed"}};
        for (auto& t : texts)
            world().strings[{"orxload.exe", uint32_t(std::stoul(t[0]))}] = t[1];
    }
    int run(const char* command_line) {
        std::string line = command_line;
        return run_loader(&line[0]);
    }
    int attention_signals() {
        int n = 0;
        for (auto& b : world().beeps)
            n += b == std::make_pair(440u, 200u);
        return n;
    }
    void set_rng_ready() { world().info.word[ORVEXA_INFO_SEED_ACCEPTED] = 1; }
    void configure_auto_rng() {
        user_key("SOFTWARE\\DEZURE\\Cryptography\\orxload").values["RNGAutoDev"] = {
            1, {'T', 'M', ':', 'A', '4', '.', 'P', 0}};
    }
};

#endif
