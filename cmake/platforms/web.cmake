# The browser (Emscripten): the web runtime and quorbel.html, one page that carries the form's
# markup, its script and the core (WebAssembly, and the same as JavaScript) inside, so that it
# opens from disk with nothing beside it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QUORBEL_NODE NAMES nodejs node REQUIRED)

# No exceptions, as in the Windows program: a failure is shown where it happens and stops the page
# (EndWithFailure), so nothing unwinds through the core and none of the exception machinery is in
# the page. Whatever else fails (an abort, memory, the page's own script) reaches the page as the
# exception that left the core, and takes the same path there.
set(QUORBEL_PLATFORM_COMPILE_OPTIONS -fno-exceptions -fno-rtti)
set(QUORBEL_PLATFORM_LINK_OPTIONS -fno-exceptions)

set(QUORBEL_PAGE_LIBRARY ${CMAKE_SOURCE_DIR}/src/platform/web/web_page.js)
set(QUORBEL_PAGE_TEMPLATE ${CMAKE_SOURCE_DIR}/src/app/quorbel_page.html.in)
set(QUORBEL_PAGE_ASSEMBLE ${CMAKE_SOURCE_DIR}/tools/page-assemble)
set(QUORBEL_ICON_XPM ${CMAKE_SOURCE_DIR}/src/app/icon/quorbel.xpm)
set(QUORBEL_ICON_URL ${CMAKE_BINARY_DIR}/quorbel-icon-url.txt)
set(QUORBEL_PAGE_MARKUP ${CMAKE_BINARY_DIR}/quorbel-form.html)
# The form's serif face for a device with neither Times New Roman nor a metric twin: Debian's
# Liberation Serif cut down to the characters of content/, in the page, with its notice.
set(QUORBEL_PAGE_FONT /usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf)
set(QUORBEL_PAGE_FONT_COPYRIGHT /usr/share/doc/fonts-liberation2/copyright)
set(QUORBEL_PAGE_FONT_URL ${CMAKE_BINARY_DIR}/quorbel-font-url.txt)
set(QUORBEL_PAGE_FONT_NOTICE ${CMAKE_BINARY_DIR}/quorbel-font-notice.txt)

# The core for the page: its script, with the WebAssembly beside it and the same translated to
# JavaScript (WASM=2), which page-assemble puts into one page. No file system, no dynamic code, the
# small allocator, which returns null when memory runs out rather than aborting (the runtime's
# operator new shows that in its own words), for browsers only; the WebAssembly is compiled as the script runs, not awaited,
# and given by the page (wasmBinary) rather than fetched, so that the file needs nothing beside it.
set(QUORBEL_PAGE_LINK -Oz -sWASM=2 -sENVIRONMENT=web -sFILESYSTEM=0 -sMALLOC=emmalloc -sABORTING_MALLOC=0
    -sDYNAMIC_EXECUTION=0 -sINCOMING_MODULE_JS_API=[wasmBinary] -sSUPPORT_ERRNO=0 -sTEXTDECODER=2
    -sWASM_ASYNC_COMPILATION=0 "SHELL:--memory-init-file 0")

# Makes a page from an entry point: quorbel.html itself, and the pages the tests need. The form's
# markup is written at build time from the window layout; the core attaches to it.
function(quorbel_add_page target source output_name)
  add_executable(${target}_core ${source})
  target_link_libraries(${target}_core PRIVATE quorbel_web quorbel_core quorbel_warnings ${ARGN})
  target_link_options(${target}_core PRIVATE ${QUORBEL_PAGE_LINK})
  set_target_properties(${target}_core PROPERTIES OUTPUT_NAME ${output_name}-core SUFFIX .js
    LINK_DEPENDS ${QUORBEL_PAGE_LIBRARY})
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${output_name}.html)
  add_custom_command(OUTPUT ${page}
    COMMAND ${Python3_EXECUTABLE} ${QUORBEL_PAGE_ASSEMBLE} --template ${QUORBEL_PAGE_TEMPLATE}
            --icon-url ${QUORBEL_ICON_URL} --font-url ${QUORBEL_PAGE_FONT_URL} --font-notice ${QUORBEL_PAGE_FONT_NOTICE}
            --form ${QUORBEL_PAGE_MARKUP} --core $<TARGET_FILE:${target}_core> --output ${page}
    DEPENDS ${target}_core $<TARGET_FILE:${target}_core> ${QUORBEL_PAGE_TEMPLATE} ${QUORBEL_PAGE_ASSEMBLE}
            ${QUORBEL_ICON_URL} ${QUORBEL_PAGE_FONT_URL} ${QUORBEL_PAGE_FONT_NOTICE} ${QUORBEL_PAGE_MARKUP}
    COMMENT "Making ${output_name}.html" VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${page})
endfunction()

macro(quorbel_platform_targets)
add_library(quorbel_web STATIC src/platform/web/web_form.cpp src/window/failing_allocation.cpp)
target_link_libraries(quorbel_web PUBLIC quorbel_core PRIVATE quorbel_warnings)
target_link_options(quorbel_web INTERFACE "SHELL:--js-library ${QUORBEL_PAGE_LIBRARY}")

# The icon is the one XPM source, as a data: URL in the page.
add_custom_command(OUTPUT ${QUORBEL_ICON_URL}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/icon-convert ${QUORBEL_ICON_XPM} --data-url ${QUORBEL_ICON_URL}
  DEPENDS ${QUORBEL_ICON_XPM} ${CMAKE_SOURCE_DIR}/tools/icon-convert
  COMMENT "Making the page icon")

# The face, cut down by Debian's fontTools: the script runs under Debian's own Python (its first
# line), which has them, whatever other Python CMake found.
file(GLOB content_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/content/*)
add_custom_command(OUTPUT ${QUORBEL_PAGE_FONT_URL} ${QUORBEL_PAGE_FONT_NOTICE}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/font-subset --content ${CMAKE_SOURCE_DIR}/src/content
          --font ${QUORBEL_PAGE_FONT} --copyright ${QUORBEL_PAGE_FONT_COPYRIGHT} "--family=Quorbel Serif"
          --url ${QUORBEL_PAGE_FONT_URL} --notice ${QUORBEL_PAGE_FONT_NOTICE}
  DEPENDS ${content_sources} ${QUORBEL_PAGE_FONT} ${QUORBEL_PAGE_FONT_COPYRIGHT} ${CMAKE_SOURCE_DIR}/tools/font-subset
  COMMENT "Making the page's serif face" VERBATIM)

# The form's markup, written by a program of the build's own that walks the window layout (run
# under node, as this tree makes WebAssembly; one file, as node cannot fetch a .wasm beside it).
add_executable(quorbel_page_markup src/platform/web/page_markup.cpp)
target_link_libraries(quorbel_page_markup PRIVATE quorbel_core quorbel_warnings)
target_link_options(quorbel_page_markup PRIVATE -sSINGLE_FILE -sENVIRONMENT=node)
add_custom_command(OUTPUT ${QUORBEL_PAGE_MARKUP}
  COMMAND ${Python3_EXECUTABLE} ${QUORBEL_PAGE_ASSEMBLE} --run ${QUORBEL_PAGE_MARKUP}
          ${QUORBEL_NODE} $<TARGET_FILE:quorbel_page_markup>
  DEPENDS quorbel_page_markup ${QUORBEL_PAGE_ASSEMBLE}
  COMMENT "Writing the form's markup" VERBATIM)

quorbel_add_page(quorbel_page src/app/main_web.cpp quorbel)
target_include_directories(quorbel_page_core PRIVATE src/app)

# The installable web app, in app/ beside the single file, for any static web host: the page with
# its manifest linked and a service worker registered, the manifest written from the window
# layout, the icon at 192 and 512 pixels (whole multiples of its 32) and the service worker,
# which keeps every file for offline use.
add_executable(quorbel_web_app_manifest src/app/web_app_manifest.cpp)
target_link_libraries(quorbel_web_app_manifest PRIVATE quorbel_core quorbel_warnings)
# One file, as node's fetch cannot read a .wasm beside it; the machine's node runs it (the
# toolchain's emulator passes node an option it no longer has).
target_link_options(quorbel_web_app_manifest PRIVATE -sSINGLE_FILE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1)
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
  COMMAND ${CMAKE_COMMAND} -DPAGE=${CMAKE_BINARY_DIR}/quorbel.html -DAPP_DIR=${QUORBEL_APP_DIR}
          -DSERVICE_WORKER=${CMAKE_SOURCE_DIR}/src/app/quorbel_service_worker.js.in
          "-DFILES=${QUORBEL_APP_FILES}" -P ${CMAKE_SOURCE_DIR}/cmake/web-app.cmake
  DEPENDS quorbel_page ${CMAKE_BINARY_DIR}/quorbel.html ${CMAKE_SOURCE_DIR}/cmake/web-app.cmake ${CMAKE_SOURCE_DIR}/src/app/quorbel_service_worker.js.in
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
