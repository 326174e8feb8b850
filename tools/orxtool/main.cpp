#include <stdio.h>
#include <string.h>

#include "commands.h"

namespace {

void usage(FILE* out) {
    fputs("usage: orxtool info\n"
          "  info   show the ORVEXA driver's information record and the library version\n",
          out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return ORXTOOL_BAD_ARGUMENTS;
    }
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        usage(stdout);
        return ORXTOOL_OK;
    }
    if (strcmp(argv[1], "info") == 0)
        return run_info(argc - 1, argv + 1);
    fprintf(stderr, "orxtool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return ORXTOOL_BAD_ARGUMENTS;
}
