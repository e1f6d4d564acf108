# The browser (Emscripten): the web runtime and quorbel.html, one page that carries its script and
# its WebAssembly inside, so that it opens from disk with nothing beside it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# C++ exceptions as WebAssembly exceptions, in every file: without the switch a throw reaches
# JavaScript as a number, and a frame compiled without it skips its destructors as one passes.
set(QUORBEL_PLATFORM_COMPILE_OPTIONS -fwasm-exceptions)
set(QUORBEL_PLATFORM_LINK_OPTIONS -fwasm-exceptions)

set(QUORBEL_PAGE_LIBRARY ${CMAKE_SOURCE_DIR}/src/platform/web/web_page.js)
set(QUORBEL_ICON_XPM ${CMAKE_SOURCE_DIR}/src/app/icon/quorbel.xpm)
set(QUORBEL_ICON_URL ${CMAKE_BINARY_DIR}/quorbel-icon-url.txt)
set(QUORBEL_PAGE_SHELL ${CMAKE_BINARY_DIR}/quorbel_page_shell.html)

# One small page: no file system, no dynamic code, the small allocator, for browsers only. The
# WebAssembly is compiled as the script runs, not awaited, so that the form is there for the first
# frame. (Debian's Emscripten has no HTML minifier: MINIFY_HTML would fail.)
set(QUORBEL_PAGE_LINK -Oz -sSINGLE_FILE -sENVIRONMENT=web -sFILESYSTEM=0 -sMALLOC=emmalloc
    -sDYNAMIC_EXECUTION=0 -sINCOMING_MODULE_JS_API=[] -sSUPPORT_ERRNO=0 -sTEXTDECODER=2
    -sWASM_ASYNC_COMPILATION=0 -sMINIFY_HTML=0)

# Makes a page from an entry point: quorbel.html itself, and the pages the tests need.
function(quorbel_add_page target source output_name)
  add_executable(${target} ${source})
  target_link_libraries(${target} PRIVATE quorbel_web quorbel_core quorbel_warnings ${ARGN})
  target_link_options(${target} PRIVATE ${QUORBEL_PAGE_LINK} "SHELL:--shell-file ${QUORBEL_PAGE_SHELL}")
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name} SUFFIX .html
    LINK_DEPENDS "${QUORBEL_PAGE_SHELL};${QUORBEL_PAGE_LIBRARY}")
  add_dependencies(${target} quorbel_page_shell)
endfunction()

macro(quorbel_platform_targets)
add_library(quorbel_web STATIC src/platform/web/web_form.cpp)
target_link_libraries(quorbel_web PUBLIC quorbel_core PRIVATE quorbel_warnings)
target_link_options(quorbel_web INTERFACE "SHELL:--js-library ${QUORBEL_PAGE_LIBRARY}")

# The icon is the one XPM source, as a data: URL in the page's shell.
add_custom_command(OUTPUT ${QUORBEL_ICON_URL}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/icon-convert ${QUORBEL_ICON_XPM} --data-url ${QUORBEL_ICON_URL}
  DEPENDS ${QUORBEL_ICON_XPM} ${CMAKE_SOURCE_DIR}/tools/icon-convert
  COMMENT "Making the page icon")
add_custom_command(OUTPUT ${QUORBEL_PAGE_SHELL}
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/src/app/quorbel_page.html.in
          -DICON_URL=${QUORBEL_ICON_URL} -DOUTPUT=${QUORBEL_PAGE_SHELL} -P ${CMAKE_SOURCE_DIR}/cmake/web-shell.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/src/app/quorbel_page.html.in ${QUORBEL_ICON_URL} ${CMAKE_SOURCE_DIR}/cmake/web-shell.cmake
  COMMENT "Making the page shell")
add_custom_target(quorbel_page_shell DEPENDS ${QUORBEL_PAGE_SHELL})

quorbel_add_page(quorbel_page src/app/main_web.cpp quorbel)
target_include_directories(quorbel_page PRIVATE src/app)

# The installable web app, in app/ beside the single file, for any static web host: the page with
# its manifest linked and a service worker registered, the manifest written from the window
# layout, the icon at 192 and 512 pixels (whole multiples of its 32) and the service worker,
# which keeps every file for offline use.
add_executable(quorbel_web_app_manifest src/app/web_app_manifest.cpp)
target_link_libraries(quorbel_web_app_manifest PRIVATE quorbel_core quorbel_warnings)
# One file, as node's fetch cannot read a .wasm beside it; the machine's node runs it (the
# toolchain's emulator passes node an option it no longer has).
target_link_options(quorbel_web_app_manifest PRIVATE -sSINGLE_FILE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1)
find_program(QUORBEL_NODE node REQUIRED)
set(QUORBEL_APP_DIR ${CMAKE_BINARY_DIR}/app)
set(QUORBEL_APP_FILES manifest.webmanifest,icon-192.png,icon-512.png)
add_custom_command(OUTPUT ${QUORBEL_APP_DIR}/icon-192.png ${QUORBEL_APP_DIR}/icon-512.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORBEL_APP_DIR}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/icon-convert ${QUORBEL_ICON_XPM}
          --png 192 ${QUORBEL_APP_DIR}/icon-192.png --png 512 ${QUORBEL_APP_DIR}/icon-512.png
  DEPENDS ${QUORBEL_ICON_XPM} ${CMAKE_SOURCE_DIR}/tools/icon-convert
  COMMENT "Making the web app's icons" VERBATIM)
add_custom_command(OUTPUT ${QUORBEL_APP_DIR}/manifest.webmanifest
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORBEL_APP_DIR}
  COMMAND ${QUORBEL_NODE} $<TARGET_FILE:quorbel_web_app_manifest> ${QUORBEL_APP_DIR}/manifest.webmanifest
          icon-192.png:192 icon-512.png:512
  DEPENDS quorbel_web_app_manifest
  COMMENT "Making the web app's manifest" VERBATIM)
add_custom_command(OUTPUT ${QUORBEL_APP_DIR}/index.html ${QUORBEL_APP_DIR}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DPAGE=$<TARGET_FILE:quorbel_page> -DAPP_DIR=${QUORBEL_APP_DIR}
          -DSERVICE_WORKER=${CMAKE_SOURCE_DIR}/src/app/quorbel_service_worker.js.in
          "-DFILES=${QUORBEL_APP_FILES}" -P ${CMAKE_SOURCE_DIR}/cmake/web-app.cmake
  DEPENDS quorbel_page ${CMAKE_SOURCE_DIR}/cmake/web-app.cmake ${CMAKE_SOURCE_DIR}/src/app/quorbel_service_worker.js.in
          ${QUORBEL_APP_DIR}/manifest.webmanifest ${QUORBEL_APP_DIR}/icon-192.png ${QUORBEL_APP_DIR}/icon-512.png
  COMMENT "Making the web app's page and service worker" VERBATIM)
add_custom_target(quorbel_web_app ALL DEPENDS ${QUORBEL_APP_DIR}/index.html ${QUORBEL_APP_DIR}/service-worker.js)

# The core's own tests run as WebAssembly under node: GoogleTest is built here from Debian's sources.
set(QUORBEL_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources, for the WebAssembly tests")
if(QUORBEL_TESTS AND EXISTS ${QUORBEL_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${QUORBEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # node runs the tests; one file, as node cannot fetch a .wasm beside it.
  set(QUORBEL_NODE_TEST_LINK -sSINGLE_FILE -sENVIRONMENT=node -sEXIT_RUNTIME=1)
endif()
endmacro()
