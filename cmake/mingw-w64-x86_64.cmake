# Cross-building the Windows edition on Debian with mingw-w64 (64-bit only).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The compiler is called by its "-posix" name: the win32 thread model of
# mingw-w64's GCC 12 has no std::thread or std::mutex. Everything links
# statically, so an .exe needs no DLL beyond those Windows itself has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FP_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FP_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FP_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FP_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FP_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 API level and Unicode (W) calls throughout.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under wine on the build machine.
find_program(FP_WINE wine)
if(FP_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FP_WINE})
endif()
