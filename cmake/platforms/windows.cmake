# Windows: the Win32 runtime and Quorbel.exe, one self-contained program with no DLLs beside it.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# No exceptions: a failure is shown where it happens and ends the program, so nothing unwinds, and
# nothing of the C++ library's exception machinery is linked in. The program has one thread, so
# its function-local statics need no guard against a second one. Unused code is dropped.
set(QUORBEL_PLATFORM_COMPILE_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -ffunction-sections -fdata-sections)
# Small, static, hardened: no compiler runtime DLLs, unused code dropped, ASLR and DEP.
set(QUORBEL_PLATFORM_LINK_OPTIONS -static -municode -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -s)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND QUORBEL_PLATFORM_LINK_OPTIONS -Wl,--high-entropy-va)
endif()
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

macro(quorbel_platform_targets)
add_library(quorbel_win32 STATIC src/platform/win32/win32_form.cpp src/platform/win32/win32_accessibility.cpp
  src/platform/win32/win32_contrast.cpp)
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

# What the tests run beside the program under Wine: the probe that reads its window from outside,
# and a build of the program whose event procedures fail, linked exactly as the program is.
option(QUORBEL_PROBE "Also build the programs the Wine tests run beside Quorbel.exe" OFF)
if(QUORBEL_PROBE)
  add_executable(quorbel_probe tests/win32/probe.cpp)
  target_include_directories(quorbel_probe PRIVATE src)

  add_executable(quorbel_failing WIN32 tests/win32/failing_program.cpp src/app/quorbel.rc)
  target_include_directories(quorbel_failing PRIVATE src/app ${CMAKE_BINARY_DIR})
  target_link_libraries(quorbel_failing PRIVATE quorbel_win32 quorbel_warnings)

  # A build of the program that checks its names, announcements and high contrast from inside.
  # uuid before oleacc: mingw's oleacc import library also offers IID_IAccessible, as a stub.
  add_executable(quorbel_accessibility WIN32 tests/win32/accessibility_program.cpp src/app/quorbel.rc)
  target_include_directories(quorbel_accessibility PRIVATE src/app ${CMAKE_BINARY_DIR})
  target_link_libraries(quorbel_accessibility PRIVATE quorbel_win32 quorbel_warnings uuid oleacc ole32 oleaut32)
endif()
endmacro()
