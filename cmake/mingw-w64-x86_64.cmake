# Cross-builds the 64-bit Windows program with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix). The runtime is linked statically, so the .exe
# needs no DLL beyond the system's. Programs built here run under Wine, which
# CTest uses as its emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TONKELWERK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TONKELWERK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TONKELWERK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TONKELWERK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TONKELWERK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into the program itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

get_filename_component(TONKELWERK_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine-run.sh
                       ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TONKELWERK_WINE_RUN})
