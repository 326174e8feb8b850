#include "output_file.h"

#include "tool_platform.h"

bool write_whole_file(const char* path, const uint8_t* data, size_t length) {
    const int result = tool_file_write(path, data, length);
    if (result == TOOL_FILE_INCOMPLETE)
        tool_file_remove(path); // one that could not be opened is left as it was
    return result == TOOL_FILE_WRITTEN;
}
