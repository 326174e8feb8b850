# Cross-compiling the Windows deliverables with mingw-w64 (posix thread model, which
# GoogleTest needs). The toolchain files set ORX_MINGW_PROCESSOR (i686 or x86_64) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORX_MINGW_PROCESSOR})
set(orx_triplet ${ORX_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${orx_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${orx_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${orx_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${orx_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
