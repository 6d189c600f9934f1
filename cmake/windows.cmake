# The Windows build (MinGW-w64 cross build, cmake/mingw-w64.cmake): GoogleTest from the
# source that libgtest-dev installs, CLI11's headers, Wine to run the programs it builds,
# and Qt for Windows when it is there.

# MinGW's g++ 12 warns of overlapping copies inside libstdc++'s own string code at -O2
# (a known false positive of that compiler, GCC bug 105329).
add_compile_options(-Wno-restrict)

# GoogleTest, built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# CLI11 is header-only: a folder of its own holding only CLI/, so that the host's
# /usr/include never comes before MinGW's headers.
if(NOT EXISTS ${CMAKE_BINARY_DIR}/cli11/CLI/CLI.hpp)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
  file(CREATE_LINK /usr/include/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
endif()
set(CLI11_INCLUDE_DIR ${CMAKE_BINARY_DIR}/cli11 CACHE PATH "CLI11 headers" FORCE)

# The MinGW runtime DLLs that the programs (and Qt) load.
set(FLUSSOM_MINGW_DLL_DIRS /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

# Qt for Windows: $FLUSSOM_QT6_MINGW, else ../shared/qt6-mingw beside the project.
set(FLUSSOM_QT6_MINGW "$ENV{FLUSSOM_QT6_MINGW}")
if(FLUSSOM_QT6_MINGW STREQUAL "")
  set(FLUSSOM_QT6_MINGW ${CMAKE_SOURCE_DIR}/../shared/qt6-mingw)
endif()
get_filename_component(FLUSSOM_QT6_MINGW ${FLUSSOM_QT6_MINGW} ABSOLUTE)
if(FLUSSOM_FINESTRA)
  if(EXISTS ${FLUSSOM_QT6_MINGW}/lib/cmake/Qt6/Qt6Config.cmake)
    list(PREPEND CMAKE_FIND_ROOT_PATH ${FLUSSOM_QT6_MINGW})
    list(PREPEND CMAKE_PREFIX_PATH ${FLUSSOM_QT6_MINGW}/lib/cmake)
    # moc, uic and rcc of the same Qt version come from the host (qt6-base-dev).
    set(QT_HOST_PATH /usr CACHE PATH "Host Qt")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt's CMake files")
    list(APPEND FLUSSOM_MINGW_DLL_DIRS ${FLUSSOM_QT6_MINGW}/bin)
  else()
    message(NOTICE "Qt 6 per Windows non trovato in ${FLUSSOM_QT6_MINGW} (FLUSSOM_QT6_MINGW): "
                   "la finestra resta fuori dalla build Windows")
    set(FLUSSOM_FINESTRA OFF)
  endif()
endif()

# Wine runs the test programs, in a prefix of its own inside the build folder. The
# wrapper `wine-esegui` sets it up; `wine-esegui wineboot -i` creates the prefix.
find_program(FLUSSOM_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
set(FLUSSOM_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(percorsi_dll)
foreach(d ${FLUSSOM_MINGW_DLL_DIRS})
  string(REPLACE "/" "\\\\" d "Z:${d}")
  list(APPEND percorsi_dll "${d}")
endforeach()
list(JOIN percorsi_dll ";" FLUSSOM_WINEPATH)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-esegui CONTENT [=[#!/bin/sh
# Runs a Windows program of this build under Wine, in the build's own prefix.
export WINEPREFIX="@FLUSSOM_WINEPREFIX@"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPATH="@FLUSSOM_WINEPATH@"
# No Mono or Gecko: nothing of ours needs them, and their installer would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
exec "@FLUSSOM_WINE@" "$@"
]=] @ONLY)
file(CHMOD ${CMAKE_BINARY_DIR}/wine-esegui PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-esegui)
# The test programs list their tests when CTest runs, not while the build keeps both cores
# busy: a Wine process starting then can take longer than the listing's time limit.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
if(NOT EXISTS ${FLUSSOM_WINEPREFIX}/system.reg)
  message(STATUS "Creazione del prefisso di Wine ${FLUSSOM_WINEPREFIX}")
  execute_process(COMMAND ${CMAKE_BINARY_DIR}/wine-esegui wineboot -i
                  RESULT_VARIABLE esito OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND env WINEPREFIX=${FLUSSOM_WINEPREFIX} /usr/lib/wine/wineserver -w)
endif()
