// orxtool: a console client of orxlink for scripts and operators.
#include "cli.h"

int main(int argc, char** argv) {
    return orxtool_main(argc, argv);
}
