#include "dll_search.h"

namespace {

void add(std::vector<std::string>* out, const std::string& dir, const std::string& name) {
    if (dir.empty() || dir == ".")
        return;
    char last = dir[dir.size() - 1];
    out->push_back(last == '\\' || last == '/' ? dir + name : dir + "\\" + name);
}

} // namespace

std::vector<std::string> dll_candidates(const std::string& name, const std::string& program_dir,
                                        const std::string& system_dir,
                                        const std::string& windows_dir, const std::string& path) {
    if (name.find_first_of("\\/:") != std::string::npos)
        return {name};
    std::vector<std::string> out;
    add(&out, program_dir, name);
    add(&out, system_dir, name);
    add(&out, windows_dir, name);
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(';', start);
        if (end == std::string::npos)
            end = path.size();
        add(&out, path.substr(start, end - start), name);
        start = end + 1;
    }
    return out;
}
