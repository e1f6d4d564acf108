# Tests of the runtime the platform file chose, and of what the other build trees make.

# A test that needs what another build tree makes (FILES, made by HOW): where that is absent the
# test is skipped, saying so, rather than failed, so that this tree's tests run on their own.
function(quorbel_add_test_needing name how files)
  add_test(NAME ${name} COMMAND /bin/sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/needs ${how} ${files} -- ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

# A machine with neither Times New Roman nor its metric twin, for the Qt window and the page.
configure_file(app/fonts-without-the-twin.conf.in ${CMAKE_BINARY_DIR}/fonts-without-the-twin.conf @ONLY)

if(TARGET quorbel_qt)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(qt_window_tests qt/qt_main.cpp qt/window_test.cpp qt/soak_test.cpp)
  target_include_directories(qt_window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR} qt ${CMAKE_BINARY_DIR})
  add_dependencies(qt_window_tests quorbel_icon)
  target_link_libraries(qt_window_tests PRIVATE quorbel_qt quorbel_warnings Qt6::Test Qt6::GuiPrivate GTest::gtest)
  gtest_discover_tests(qt_window_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

  # Started without the serif font it asks for, the window still shows every row of every list.
  add_test(NAME window_without_the_serif_font
    COMMAND qt_window_tests --gtest_filter=QtWindow.EveryListShowsItsFiveRowsWithoutScrolling)
  set_tests_properties(window_without_the_serif_font PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${CMAKE_BINARY_DIR}/fonts-without-the-twin.conf")

  # The program as a process: no display, unknown arguments, and (in a hardened build) its hardening.
  add_test(NAME quorbel_program
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/app/program_test.py $<TARGET_FILE:quorbel>
            HostileEnvironment $<$<NOT:$<BOOL:${QUORBEL_SANITIZE}>>:Hardening>)

  add_executable(quorbel_screenshot qt/screenshot.cpp)
  target_link_libraries(quorbel_screenshot PRIVATE quorbel_qt quorbel_warnings)

  # The desktop files must satisfy the tools that packagers run.
  add_test(NAME desktop_entry_validates
    COMMAND desktop-file-validate ${CMAKE_SOURCE_DIR}/src/app/example.quorbel.Quorbel.desktop)
  add_test(NAME metainfo_validates
    COMMAND appstreamcli validate --no-net ${QUORBEL_METAINFO})
endif()

# The Windows program, cross-built by make windows into build/win32 and build/win64.
option(QUORBEL_WINDOWS_TESTS "Test the Windows builds made by make windows" ON)
set(QUORBEL_WINDOWS_BUILDS ${CMAKE_SOURCE_DIR}/build CACHE PATH "Where build/win32 and build/win64 are")
if(QUORBEL_WINDOWS_TESTS)
  set(_win32 ${QUORBEL_WINDOWS_BUILDS}/win32)
  set(_win64 ${QUORBEL_WINDOWS_BUILDS}/win64)
  quorbel_add_test_needing(windows_image "make windows" "${_win32}/Quorbel.exe;${_win64}/Quorbel.exe"
    /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/win32/pe_image_test.py ${_win32}/Quorbel.exe ${_win64}/Quorbel.exe)
  # The runtime's window, behaviour and accessibility under Wine: the shipped i686 build in a 32-bit
  # prefix and its x86_64 twin (skipped, with the reason, where 32-bit Wine does not start, and failed
  # so under CI=true unless the machine's kernel runs no 32-bit program at all). The screen is large
  # enough for the window at 192 DPI.
  foreach(arch i686 x86_64)
    set(build_dir ${_win64})
    if(arch STREQUAL i686)
      set(build_dir ${_win32})
    endif()
    quorbel_add_test_needing(windows_program_under_wine_${arch} "make windows"
      "${build_dir}/quorbel_wine_tests.exe;${build_dir}/quorbel_failing.exe"
      xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96"
      /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine_tests.sh ${arch} ${build_dir} ${CMAKE_BINARY_DIR}/wineprefix-${arch})
    set_tests_properties(windows_program_under_wine_${arch} PROPERTIES TIMEOUT 900 RESOURCE_LOCK display)
    # The installer made from that build, as make dist makes the release's, in a fresh prefix.
    quorbel_add_test_needing(windows_installer_under_wine_${arch} "make windows, and tools/install-deps dist"
      "${build_dir}/Quorbel.exe;/usr/bin/wixl"
      xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96"
      /bin/sh ${CMAKE_CURRENT_SOURCE_DIR}/win32/msi_tests.sh ${arch} ${build_dir} ${CMAKE_BINARY_DIR}/msi-test-${arch} ${PROJECT_VERSION})
    set_tests_properties(windows_installer_under_wine_${arch} PROPERTIES TIMEOUT 300 RESOURCE_LOCK display)
  endforeach()
endif()

# The release made by make dist (build/dist, from build/dist-tree) and the package lists, tested
# once, from the main tree.
if(TARGET quorbel_qt AND NOT QUORBEL_SANITIZE)
  set(QUORBEL_RELEASE_BUILDS ${CMAKE_SOURCE_DIR}/build CACHE PATH "Where build/dist and build/dist-tree are")
  set(_release_test ${CMAKE_CURRENT_SOURCE_DIR}/dist/release_test.py ${QUORBEL_RELEASE_BUILDS}/dist
                    ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR})
  quorbel_add_test_needing(release_package "make dist" ${QUORBEL_RELEASE_BUILDS}/dist/SHA256SUMS
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" /usr/bin/python3 ${_release_test} Package Installer Signing Checksums)
  set_tests_properties(release_package PROPERTIES RESOURCE_LOCK display)
  quorbel_add_test_needing(release_program_hardening "make dist" ${QUORBEL_RELEASE_BUILDS}/dist-tree/quorbel
    /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/app/program_test.py ${QUORBEL_RELEASE_BUILDS}/dist-tree/quorbel Hardening)
  add_test(NAME install_deps_purposes COMMAND /usr/bin/python3 ${_release_test} InstallDeps)
endif()

# A page with the tests' own procedures, built beside quorbel.html in build/web.
if(TARGET quorbel_web)
  quorbel_add_page(quorbel_test_page web/test_page.cpp quorbel-test)
endif()

# The page, built by make web into build/web: the core as WebAssembly under node, and the page in
# Debian's Chromium, Firefox ESR and WebKitGTK (tests/web; WebKit's MiniBrowser needs an X server).
option(QUORBEL_WEB_TESTS "Test the page made by make web" ON)
set(QUORBEL_WEB_BUILD ${CMAKE_SOURCE_DIR}/build/web CACHE PATH "Where make web builds the page")
if(QUORBEL_WEB_TESTS AND NOT EMSCRIPTEN)
  find_program(NODE node REQUIRED)
  quorbel_add_test_needing(web_core_tests_under_node "make web-tests" ${QUORBEL_WEB_BUILD}/tests/core_tests.js
    ${NODE} ${QUORBEL_WEB_BUILD}/tests/core_tests.js)
  set(_playwright ${CMAKE_CURRENT_SOURCE_DIR}/web/node_modules/@playwright/test/cli.js)
  quorbel_add_test_needing(web_page_in_browsers "make web-tests"
    "${QUORBEL_WEB_BUILD}/quorbel.html;${QUORBEL_WEB_BUILD}/app/index.html;${QUORBEL_WEB_BUILD}/tests/quorbel-test.html;${_playwright}"
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" ${NODE} ${_playwright} test)
  # Playwright's cache of compiled test files is kept in this tree: one shared in /tmp serves a
  # worktree's tests to another's.
  set_tests_properties(web_page_in_browsers PROPERTIES TIMEOUT 600 WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/web
    ENVIRONMENT "QUORBEL_TABLE_JSON=${QUORBEL_TABLE_JSON};QUORBEL_WEB_BUILD=${QUORBEL_WEB_BUILD};QUORBEL_FONTS_WITHOUT_THE_TWIN=${CMAKE_BINARY_DIR}/fonts-without-the-twin.conf;QUORBEL_TEST_OUTPUT=${CMAKE_BINARY_DIR}/web-test-results;PWTEST_CACHE_DIR=${CMAKE_BINARY_DIR}/playwright-cache")
endif()
