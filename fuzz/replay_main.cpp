// Replays fuzz inputs given as files or folders through the fuzz target, so the normal
// test run keeps the corpus as regression tests without libFuzzer.
#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int replay(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

int main(int argc, char** argv) {
    int n = 0;
    for (int i = 1; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (auto& entry : fs::recursive_directory_iterator(argv[i]))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    n += replay(entry.path());
        } else if (fs::exists(argv[i])) {
            n += replay(argv[i]);
        }
    }
    printf("replayed %d inputs\n", n);
    return n > 0 ? 0 : 1;
}
