# Cross-compiles the Qt-free part of Skytrace for 64-bit Windows with Debian's MinGW-w64 (the
# posix-thread variant, which std::thread needs), and runs the results under Wine:
#   cmake -S . -B build-mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SKYTRACE_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${SKYTRACE_MINGW_PREFIX}-gcc-posix ${SKYTRACE_MINGW_PREFIX}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${SKYTRACE_MINGW_PREFIX}-g++-posix ${SKYTRACE_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${SKYTRACE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SKYTRACE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++, libgcc or winpthread DLLs to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test discovery and ctest run the Windows executables under Wine.
find_program(SKYTRACE_WINE NAMES wine wine64)
if(SKYTRACE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SKYTRACE_WINE})
endif()
