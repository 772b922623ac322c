# Cross-builds for 64-bit Windows with Debian's mingw-w64, posix threads variant
# (packages g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Without a Qt for Windows this builds the C layer (the drivers' headers and
# the three platform libraries' stand-ins) and its checks, run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SFP_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SFP_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SFP_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SFP_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${SFP_MINGW_PREFIX}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${SFP_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows programs run here through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
