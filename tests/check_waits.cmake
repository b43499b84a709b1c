# cmake -P check_waits.cmake <stamp> <source>...
#
# Refuses test sources that wait through Qt: qWait, qWaitFor*, qSleep and the QTRY_ macros give up
# after five seconds or wait a fixed time, which a machine under load outlasts. Any use of those
# names counts: qualified or bare (after `using namespace QTest`), taken by address, with a space
# before the parenthesis, split by a backslash-newline, or in a comment. Only support/waits.h beside
# this check may name the window waits it is built on: a waits.h anywhere else is a test source like
# any other. Every offence is named by file and line; the stamp is written only when there is none,
# so that a refused build checks again next time.

cmake_minimum_required(VERSION 3.16)
if(CMAKE_ARGC LESS 5)
  message(FATAL_ERROR "usage: cmake -P check_waits.cmake <stamp> <source>...")
endif()
set(stamp "${CMAKE_ARGV3}")
set(qt_waits "(^|[^A-Za-z0-9_])(qWait|qSleep|QTRY_)[A-Za-z0-9_]*")
# Stands for a backslash-newline, so that a name split by one is seen whole on the line where it
# begins and the lines after it keep their numbers.
string(ASCII 1 splice)
get_filename_component(waits_h "${CMAKE_CURRENT_LIST_DIR}/support/waits.h" REALPATH)

set(offences "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(arg RANGE 4 ${last})
  set(src "${CMAKE_ARGV${arg}}")
  file(READ "${src}" text)
  string(REPLACE "\\\n" "${splice}" text "${text}")
  string(REPLACE "${splice}" "" joined "${text}")
  if(NOT joined MATCHES "${qt_waits}")
    continue()
  endif()
  set(allowed "")
  get_filename_component(real "${src}" REALPATH)
  if(real STREQUAL waits_h)
    set(allowed qWaitForWindowExposed qWaitForWindowActive QTRY_VERIFY QTRY_COMPARE)
  endif()
  # One list item a line: what CMake would read as list syntax is none of the names' letters.
  foreach(syntax ";" "[" "]" "\\")
    string(REPLACE "${syntax}" " " text "${text}")
  endforeach()
  string(REPLACE "\n" ";" lines "${text}")
  set(line_no 1)
  foreach(line IN LISTS lines)
    string(REPLACE "${splice}" "" code "${line}")
    string(REGEX MATCHALL "${qt_waits}" used "${code}")
    foreach(name IN LISTS used)
      string(REGEX REPLACE "^[^A-Za-z0-9_]" "" name "${name}")
      if(NOT name IN_LIST allowed)
        list(APPEND offences "${src}:${line_no}: waits with ${name}")
      endif()
    endforeach()
    string(LENGTH "${line}" spliced)
    string(LENGTH "${code}" unspliced)
    math(EXPR line_no "${line_no} + 1 + ${spliced} - ${unspliced}")
  endforeach()
endforeach()

if(offences)
  list(JOIN offences "\n" shown)
  message("${shown}")
  message(FATAL_ERROR "A test waits for the event it needs through tests/support/waits.h (ZEM_TRY_VERIFY, "
                      "ZEM_TRY_COMPARE, zemtest::wait_until), whose ceiling only a hang reaches.")
endif()
file(TOUCH "${stamp}")
