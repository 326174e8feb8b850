# 32-bit Windows: the loader, its language modules, the stand-ins, orxlink and orxtool.
set(ORX_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
