#include "output_file.h"

#include "tool_platform.h"

bool write_whole_file(const char* path, const uint8_t* data, size_t length) {
    tool_file file = tool_file_create(path);
    if (!file)
        return false;
    bool ok = tool_file_write(file, data, length);
    ok = tool_file_close(file) && ok;
    if (!ok)
        tool_file_remove(path);
    return ok;
}
