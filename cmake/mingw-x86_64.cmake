# 64-bit Windows: orxlink and orxtool for 64-bit client programs, the 64-bit driver.
set(ORX_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
