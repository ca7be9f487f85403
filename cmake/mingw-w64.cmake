# Cross toolchain for Windows x64 with mingw-w64 (posix thread model).
# On Windows under MSYS2 the same file works: the compilers are found on PATH without the prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

if(CMAKE_HOST_WIN32)
    set(CMAKE_C_COMPILER gcc)
    set(CMAKE_CXX_COMPILER g++)
    set(CMAKE_RC_COMPILER windres)
else()
    set(_triple x86_64-w64-mingw32)
    set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
    set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
    set(CMAKE_RC_COMPILER ${_triple}-windres)
    set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
    # Test programs run through Wine; the script picks the prefix and display of the test run.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
endif()

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
