# The behaviour table and the bad tables its reader must reject, compiled into the tests as strings
# (in behaviour_table.hpp, in DIRECTORY) so that they need no file at run time: the WebAssembly tests
# run under node, and the Windows tests under Wine, away from the source tree.
function(quorbel_behaviour_table_header directory)
  set(tests ${CMAKE_SOURCE_DIR}/tests)
  file(GLOB bad_tables CONFIGURE_DEPENDS ${tests}/bad-tables/*.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tests}/behaviour.txt ${bad_tables})
  file(READ ${tests}/behaviour.txt QUORBEL_BEHAVIOUR_TABLE)
  set(QUORBEL_BAD_TABLES "")
  foreach(bad IN LISTS bad_tables)
    file(READ ${bad} text)
    get_filename_component(name ${bad} NAME)
    string(APPEND QUORBEL_BAD_TABLES "    {\"${name}\", R\"table(${text})table\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${directory}/behaviour_table.hpp @ONLY CONTENT
    "// Generated from behaviour.txt and bad-tables/.\n#pragma once\n#include <utility>\nconstexpr char kBehaviourTable[] = R\"table(@QUORBEL_BEHAVIOUR_TABLE@)table\";\nconstexpr std::pair<const char*, const char*> kBadTables[] = {\n@QUORBEL_BAD_TABLES@};\n")
endfunction()
