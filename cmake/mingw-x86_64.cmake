# Cross build of the same sources as 64-bit Windows programs: the build the
# Wine suite runs on where the machine starts no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
