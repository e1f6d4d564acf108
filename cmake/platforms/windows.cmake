# Windows: the Win32 runtime and Quorbel.exe, one self-contained program with no DLLs beside it.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# No exceptions: a failure is shown where it happens and ends the program, so nothing unwinds, and
# nothing of the C++ library's exception machinery is linked in. The program has one thread, so
# its function-local statics need no guard against a second one. Unused code is dropped.
set(QUORBEL_PLATFORM_COMPILE_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -ffunction-sections -fdata-sections)
# Small, static, hardened: no compiler runtime DLLs, unused code dropped, ASLR and DEP. No link
# time in the header (its time stamp is 0), so that the same sources give the same bytes.
set(QUORBEL_PLATFORM_LINK_OPTIONS -static -municode -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -s
    -Wl,--no-insert-timestamp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND QUORBEL_PLATFORM_LINK_OPTIONS -Wl,--high-entropy-va)
endif()
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

macro(quorbel_platform_targets)
add_library(quorbel_win32 STATIC src/platform/win32/win32_form.cpp src/platform/win32/win32_failure.cpp
  src/platform/win32/win32_accessibility.cpp src/platform/win32/win32_contrast.cpp src/window/failing_allocation.cpp)
target_link_libraries(quorbel_win32 PUBLIC quorbel_core comctl32 PRIVATE quorbel_warnings)

set(QUORBEL_ICON_XPM ${CMAKE_SOURCE_DIR}/src/app/icon/quorbel.xpm)
set(QUORBEL_ICON_BINS ${CMAKE_BINARY_DIR}/quorbel-icon-image.bin ${CMAKE_BINARY_DIR}/quorbel-icon-group.bin)
add_custom_command(OUTPUT ${QUORBEL_ICON_BINS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/icon-convert ${QUORBEL_ICON_XPM}
          --res-image ${CMAKE_BINARY_DIR}/quorbel-icon-image.bin
          --res-group ${CMAKE_BINARY_DIR}/quorbel-icon-group.bin --icon-id 30001
  DEPENDS ${QUORBEL_ICON_XPM} ${CMAKE_SOURCE_DIR}/tools/icon-convert
  COMMENT "Making the icon resources")
configure_file(src/app/version.h.in ${CMAKE_BINARY_DIR}/version.h @ONLY)
configure_file(src/app/quorbel.manifest.in ${CMAKE_BINARY_DIR}/quorbel.manifest @ONLY)
set_source_files_properties(src/app/quorbel.rc PROPERTIES
  OBJECT_DEPENDS "${QUORBEL_ICON_BINS};${CMAKE_BINARY_DIR}/quorbel.manifest;${CMAKE_BINARY_DIR}/version.h")

add_executable(Quorbel WIN32 src/app/main_windows.cpp src/app/quorbel.rc)
target_include_directories(Quorbel PRIVATE src/app ${CMAKE_BINARY_DIR})
target_link_libraries(Quorbel PRIVATE quorbel_win32 quorbel_warnings)

# The Windows runtime's tests, run under Wine: a program that plays the behaviour table on the form
# the runtime builds in its process and checks the window and its accessibility, and a build of the program whose event
# procedures fail, linked exactly as the program is, which the tests start beside it.
option(QUORBEL_WINE_TESTS "Also build the programs the Wine tests run" OFF)
if(QUORBEL_WINE_TESTS)
  include(tests/behaviour_table.cmake)
  quorbel_behaviour_table_header(${CMAKE_BINARY_DIR}/tests)
  # GoogleTest from Debian's sources, built here like everything else: no exceptions, no RTTI.
  set(QUORBEL_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources, for the Wine tests")
  add_library(quorbel_gtest STATIC ${QUORBEL_GTEST_SOURCE}/src/gtest-all.cc)
  target_include_directories(quorbel_gtest SYSTEM PUBLIC ${QUORBEL_GTEST_SOURCE}/include PRIVATE ${QUORBEL_GTEST_SOURCE})
  target_compile_options(quorbel_gtest PUBLIC "SHELL:-include ${CMAKE_SOURCE_DIR}/tests/win32/gtest_notification.hpp")

  # uuid before oleacc: mingw's oleacc import library also offers IID_IAccessible, as a stub.
  add_executable(quorbel_wine_tests tests/win32/wine_tests.cpp src/app/quorbel.rc)
  target_include_directories(quorbel_wine_tests PRIVATE src/app tests ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(quorbel_wine_tests PRIVATE quorbel_win32 quorbel_gtest quorbel_warnings uuid oleacc ole32 oleaut32)

  add_executable(quorbel_failing WIN32 tests/win32/failing_program.cpp src/app/quorbel.rc)
  target_include_directories(quorbel_failing PRIVATE src/app ${CMAKE_BINARY_DIR})
  target_link_libraries(quorbel_failing PRIVATE quorbel_win32 quorbel_warnings)
endif()
endmacro()
