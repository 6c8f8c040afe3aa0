# Cross build for 64-bit Windows with Debian's MinGW-w64, in its variant with
# POSIX threads (std::thread needs them):
#   cmake -S . -B build-win -G Ninja \
#     --toolchain cmake/mingw-w64-x86_64.cmake -DORVO_BUILD_UI=OFF
# The programs are linked statically, so each .exe runs alone. Where Wine is
# installed, the build runs the payload generator and CTest runs every test
# program through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(ORVO_WINE NAMES wine wine64)
if(ORVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVO_WINE})
endif()
