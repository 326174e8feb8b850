// Replays the fuzz inputs in the given folders (searched recursively) through the fuzz
// target, so the normal test run keeps the corpus as regression tests without libFuzzer.
#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int n = 0;
    for (int i = 1; i < argc; ++i)
        for (auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            std::ifstream file(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
            n += entry.is_regular_file() && entry.path().filename().string()[0] != '.' &&
                 (LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 1);
        }
    printf("replayed %d inputs\n", n);
    return n > 0 ? 0 : 1;
}
