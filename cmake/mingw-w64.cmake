# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread
# model, for std::thread), running the built programs under Wine: CTest and
# GoogleTest's test discovery start them through the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DRVX_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRVX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRVX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${DRVX_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DRVX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# The C++ and thread runtimes go into every binary, so that a Windows install
# needs no mingw DLLs beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
