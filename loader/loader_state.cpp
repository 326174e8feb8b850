#include "loader_state.h"

LoaderState loader;

int reread_drv_info() {
    return orvexa_drv_query_info(&loader.drv_info, 0) != 0;
}
