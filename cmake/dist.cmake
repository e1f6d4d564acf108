# The Debian package, made by CPack from the install rules: the program, its desktop entry, icon
# and metainfo, and what a Debian package carries beside them (copyright file, changelog, manual
# page). `make dist` runs CPack in a Release tree of its own.
set(QUORBEL_MAINTAINER "The Quorbel developers <developers@quorbel.example>")

# The changelog's date in the form Debian changelogs write it (English names, UTC), from the
# release's one time.
execute_process(
  COMMAND ${Python3_EXECUTABLE} -c "import datetime, email.utils, sys; print(email.utils.format_datetime(datetime.datetime.fromtimestamp(int(sys.argv[1]), datetime.timezone.utc)))" ${QUORBEL_SOURCE_DATE_EPOCH}
  OUTPUT_VARIABLE QUORBEL_RELEASE_DATE_CHANGELOG OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# Both compressed as Debian wants them: the most, and without a name or time stamp in the header.
set(_doc_sources
  ${CMAKE_SOURCE_DIR}/src/app/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog
  ${CMAKE_SOURCE_DIR}/src/app/quorbel.1.in ${CMAKE_BINARY_DIR}/quorbel.1)
set(_compressed)
while(_doc_sources)
  list(POP_FRONT _doc_sources _template _text)
  configure_file(${_template} ${_text} @ONLY)
  add_custom_command(OUTPUT ${_text}.gz
    COMMAND gzip -9n -c ${_text} > ${_text}.gz
    DEPENDS ${_text} VERBATIM)
  list(APPEND _compressed ${_text}.gz)
endwhile()
add_custom_target(quorbel_package_docs ALL DEPENDS ${_compressed})

set(QUORBEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quorbel)
install(FILES src/app/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${QUORBEL_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/quorbel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Directories in the package are 0755 whatever the umask of the machine that makes it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorbel)
set(CPACK_PACKAGE_VENDOR "The Quorbel developers")
set(CPACK_PACKAGE_CONTACT ${QUORBEL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "solved five-houses logic puzzle for the classroom")
set(CPACK_PACKAGE_DESCRIPTION
  "Quorbel shows the solved five-houses logic puzzle in one small window, for a
lesson that links logic and informatics. Picking a house by its colour, or by
its owner's nation, drink, pet or tobacco brand, selects that house everywhere
at once and shows the hints that concern it. The program speaks Bulgarian.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quorbel.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for Times New Roman: its metric twin draws every caption and row whole,
# where fontconfig would otherwise stand in with a wider serif. CPack adds the libraries' packages.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack gives every member of the package (the ar members, the gzip headers, the tar entries) the
# time SOURCE_DATE_EPOCH says; cpack run by hand in this tree takes the release's time too.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/quorbel-cpack-time.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{SOURCE_DATE_EPOCH} ${QUORBEL_SOURCE_DATE_EPOCH})\n")
include(CPack)
