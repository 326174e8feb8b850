// Replays fuzz inputs given as files or folders through the fuzz target, so the normal
// test run keeps the corpus as regression tests without libFuzzer.
#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replay_file(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    std::vector<uint8_t> bytes;
    int c;
    while ((c = fgetc(f)) != EOF)
        bytes.push_back(uint8_t(c));
    fclose(f);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

int replay(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return 0;
    if (!S_ISDIR(st.st_mode))
        return replay_file(path);
    int n = 0;
    DIR* dir = opendir(path.c_str());
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.')
            n += replay(path + "/" + entry->d_name);
    closedir(dir);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    int n = 0;
    for (int i = 1; i < argc; ++i)
        n += replay(argv[i]);
    printf("replayed %d inputs\n", n);
    return n > 0 ? 0 : 1;
}
