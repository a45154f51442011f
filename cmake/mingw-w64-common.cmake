# Shared by both MinGW-w64 toolchain files.
# The posix thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_C_COMPILER ${TARNAVEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNAVEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNAVEL_TRIPLE}-windres)
# windres would preprocess with ${TARNAVEL_TRIPLE}-gcc, which Debian's alternatives point
# at either thread model: name the compiler above, so that a release's BUILDINFO names
# every compiler that built it.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${CMAKE_C_COMPILER} --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
set(CMAKE_FIND_ROOT_PATH /usr/${TARNAVEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static linking is set in the top-level CMakeLists, where no preset's flags replace it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
