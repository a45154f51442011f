# Cross-compile for 32-bit Windows. Nothing built here can run on this machine:
# the kernel runs no 32-bit code, so this build is compiled and packaged only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARNAVEL_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
