set(ZEM_CHECK_WAITS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_waits.cmake)

# zem_refuse_qt_waits(<target> <folder>): <target> runs check_waits.cmake over every C++ file
# under <folder>, at build time, whenever one of them (or the check) changed or a new one came,
# so that a build folder configured long ago still refuses a wait edited in since.
function(zem_refuse_qt_waits target folder)
  set(patterns "")
  foreach(ext cpp cc cxx h hh hpp hxx inl ipp)
    list(APPEND patterns ${folder}/*.${ext})
  endforeach()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${patterns})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -P ${ZEM_CHECK_WAITS_SCRIPT} ${stamp} ${sources}
    DEPENDS ${ZEM_CHECK_WAITS_SCRIPT} ${sources}
    COMMENT "Checking that the tests wait through tests/support/waits.h"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${stamp})
endfunction()
