# Linux: the Qt runtime, the quorbel program and its desktop files.

# Hardened like a distribution's package: PIE, full RELRO with immediate binding, stack protector,
# fortified sources where the optimiser makes them work. The switches are recorded in the binary so
# that a test can read them back.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(QUORBEL_PLATFORM_COMPILE_OPTIONS -fstack-protector-strong -frecord-gcc-switches
    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
set(QUORBEL_PLATFORM_LINK_OPTIONS -pie -Wl,-z,relro -Wl,-z,now)

macro(quorbel_platform_targets)
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(GNUInstallDirs)

set(QUORBEL_APP_ID example.quorbel.Quorbel)

add_library(quorbel_qt STATIC
  src/platform/qt/qt_form.cpp
  src/platform/qt/qt_runtime.cpp)
target_link_libraries(quorbel_qt PUBLIC quorbel_core Qt6::Widgets PRIVATE quorbel_warnings)
set_target_properties(quorbel_qt PROPERTIES AUTOMOC OFF)

# Every icon file is made from the one XPM source, by the one decoder in tools/icon-convert: the
# desktop icon at the sizes menus and software centres ask for, and the pixels the program sets as
# its window icon. The picture is 32 x 32 pixel art, scaled up without smoothing; 16 would halve it
# and lose its one-pixel lines, so desktops scale the 32 down themselves.
set(QUORBEL_ICON_XPM ${CMAKE_SOURCE_DIR}/src/app/icon/quorbel.xpm)
set(QUORBEL_ICON_SIZES 32 48 64 128 256)
set(QUORBEL_ICON_HEADER ${CMAKE_BINARY_DIR}/quorbel_icon.hpp)
set(_icon_args)
set(_icon_pngs)
foreach(size IN LISTS QUORBEL_ICON_SIZES)
  set(_png ${CMAKE_BINARY_DIR}/${QUORBEL_APP_ID}-${size}.png)
  list(APPEND _icon_args --png ${size} ${_png})
  list(APPEND _icon_pngs ${_png})
  install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${QUORBEL_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${_icon_pngs} ${QUORBEL_ICON_HEADER}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/icon-convert ${QUORBEL_ICON_XPM}
          ${_icon_args} --argb-header ${QUORBEL_ICON_HEADER}
  DEPENDS ${QUORBEL_ICON_XPM} ${CMAKE_SOURCE_DIR}/tools/icon-convert
  COMMENT "Making the desktop icons and the window icon's pixels")
add_custom_target(quorbel_icon ALL DEPENDS ${_icon_pngs} ${QUORBEL_ICON_HEADER})

add_executable(quorbel src/app/main_linux.cpp ${QUORBEL_ICON_HEADER})
target_include_directories(quorbel PRIVATE ${CMAKE_BINARY_DIR})
target_link_libraries(quorbel PRIVATE quorbel_qt quorbel_core quorbel_warnings)

install(TARGETS quorbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES src/app/${QUORBEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(QUORBEL_METAINFO ${CMAKE_BINARY_DIR}/${QUORBEL_APP_ID}.metainfo.xml)
configure_file(src/app/${QUORBEL_APP_ID}.metainfo.xml.in ${QUORBEL_METAINFO} @ONLY)
install(FILES ${QUORBEL_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

include(cmake/dist.cmake)
endmacro()
