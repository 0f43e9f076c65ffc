# Cross-building for 64-bit Windows with MinGW-w64 on Debian; scripts/build-windows uses it for
# the libraries underneath and for Zentrova. The POSIX thread model, because the default one
# has no std::mutex or std::thread. Test programs run through Wine, so ctest works as it does
# on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The libraries scripts/build-windows builds for Windows are installed here.
if(NOT ZENTROVA_WINDOWS_DEPS)
    set(ZENTROVA_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps/prefix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZENTROVA_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZENTROVA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is linked whole, so it runs from a bare folder with only the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)
