# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# so std::thread and std::jthread work). VARKEL_WIN_PREFIX names the folder of
# the cross-built libraries (Qt, libmdb, SQLite, libxlsxwriter, GoogleTest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARKEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARKEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARKEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARKEL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VARKEL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VARKEL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT VARKEL_WIN_PREFIX AND DEFINED ENV{VARKEL_WIN_PREFIX})
  set(VARKEL_WIN_PREFIX $ENV{VARKEL_WIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VARKEL_MINGW_TRIPLE} ${VARKEL_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# pkg-config finds the prefix's libraries (libmdb, SQLite, libxlsxwriter) and
# nothing of the build machine's.
if(VARKEL_WIN_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${VARKEL_WIN_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# CTest runs the Windows programs under Wine (tools/windows/test.sh sets it up).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
