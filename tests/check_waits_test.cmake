# cmake -DWORK=<folder> -DGENERATOR=<generator> -DMAKE_PROGRAM=<its tool> -P check_waits_test.cmake
#
# Each way of writing one of Qt's waits is refused by check_waits.cmake at the line it is on, and
# without the stamp that would let the next build through; what a test may write is let through.
# Then a small project wired like tests/ is configured once and built after each edit: a wait
# edited into a source, or brought by a new source, fails the build without configuring again.

cmake_minimum_required(VERSION 3.16)
set(checker ${CMAKE_CURRENT_LIST_DIR}/check_waits.cmake)
file(REMOVE_RECURSE ${WORK})
set(failures "")
set(row 0)

# Writes <text> as <file> in a folder of its own, laid out as the project is with the check in its
# tests/, and checks it: the exit code, what the check said, and whether it wrote its stamp.
function(check_one file text rc_out err_out stamp_out)
  math(EXPR n "${row} + 1")
  set(row ${n} PARENT_SCOPE)
  set(dir ${WORK}/rows/${n})
  file(WRITE ${dir}/${file} "${text}")
  file(COPY ${checker} DESTINATION ${dir}/tests)
  execute_process(COMMAND ${CMAKE_COMMAND} -P ${dir}/tests/check_waits.cmake ${dir}/stamp ${dir}/${file}
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  set(${rc_out} ${rc} PARENT_SCOPE)
  set(${err_out} "${err}" PARENT_SCOPE)
  if(EXISTS ${dir}/stamp)
    set(${stamp_out} TRUE PARENT_SCOPE)
  else()
    set(${stamp_out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# refused(<file> <line> <name> <text>): refused, naming <file>:<line> and <name>.
function(refused file line name text)
  check_one(${file} "${text}" rc err stamped)
  set(row ${row} PARENT_SCOPE)
  string(REGEX REPLACE "[.]" "[.]" shown "${file}:${line}: waits with ${name}\n")
  if(rc EQUAL 0 OR stamped OR NOT err MATCHES "/${shown}")
    string(APPEND failures "row ${row} (${name} at ${file}:${line}) was not refused there, or left a stamp:\n${err}\n")
    set(failures "${failures}" PARENT_SCOPE)
  endif()
endfunction()

function(accepted file text)
  check_one(${file} "${text}" rc err stamped)
  set(row ${row} PARENT_SCOPE)
  if(NOT rc EQUAL 0 OR NOT stamped)
    string(APPEND failures "row ${row} (${file}) was refused:\n${err}\n")
    set(failures "${failures}" PARENT_SCOPE)
  endif()
endfunction()

refused(tests/ui/tst_a.cpp 2 qWait [=[void settle() {
    QTest::qWait(100);
}
]=])
refused(tests/ui/tst_a.cpp 1 qWait "    QTest::qWait (100);\n")
refused(tests/ui/tst_a.cpp 3 qWait [=[#include <QtTest>
using namespace QTest;
void settle() { qWait(100); }
]=])
refused(tests/ui/tst_a.cpp 1 qSleep "    QTest::qSleep(10);\n")
refused(tests/ui/tst_a.cpp 1 qWaitFor "QVERIFY(QTest::qWaitFor([&] { return done; }, 100));\n")
refused(tests/ui/tst_a.cpp 1 qWaitForWindowExposed "QVERIFY(QTest::qWaitForWindowExposed(&w));\n")
refused(tests/ui/tst_a.cpp 1 qWait "const auto settle = &QTest::qWait;\n")
refused(tests/ui/tst_a.cpp 2 QTRY_VERIFY "\nQTRY_VERIFY(done);\n")
refused(tests/ui/tst_a.cpp 1 QTRY_COMPARE_WITH_TIMEOUT "QTRY_COMPARE_WITH_TIMEOUT(a, b, 100);\n")
# A comment that names a wait too: a header of helpers is a test source like any other.
refused(tests/fpga/fixture.h 1 qWait "// unlike qWait, which gives up\n")
# Lines joined by a backslash and the characters CMake reads in lists still count as they are.
refused(tests/ui/tst_a.cpp 5 qWait [=[int a[2]; // [ ; \;
#define TWICE(x) \
    ((x) * 2)
const char *s = "\\;]";
QTest::qWait(1);
]=])
refused(tests/ui/tst_a.cpp 1 qWait [=[QTest::q\
Wait(5);
]=])
refused(tests/support/waits.h 2 qWait [=[inline bool exposed(QWindow *w) { return QTest::qWaitForWindowExposed(w, 30000); }
inline void settle() { QTest::qWait(10); }
]=])
# The window waits belong to the one waits.h of the tests' support folder, not to its name.
set(window_waits [=[inline bool exposed(QWindow *w) { return QTest::qWaitForWindowExposed(w, 30000); }
]=])
refused(tests/ui/waits.h 1 qWaitForWindowExposed "${window_waits}")
refused(tests/support/old/waits.h 1 qWaitForWindowExposed "${window_waits}")
refused(tests/ui/tests/support/waits.h 1 qWaitForWindowExposed "${window_waits}")
accepted(tests/support/waits.h [=[// QTRY_VERIFY and QTRY_COMPARE with the ceiling.
inline bool exposed(QWindow *w) { return QTest::qWaitForWindowExposed(w, 30000); }
inline bool active(QWindow *w) { return QTest::qWaitForWindowActive(w, 30000); }
]=])
accepted(tests/ui/tst_a.cpp [=[#include "waits.h"
// Waits for the window, then for the page the key leads to.
void keys() {
    QVERIFY(zemtest::wait_exposed(&w));
    QTest::keyClick(&w, Qt::Key_Return);
    ZEM_TRY_COMPARE(page(), 3);
    ZEM_TRY_VERIFY(zemtest::poll_until([] { return done; }));
}
]=])

# The same check, wired into a build as tests/ is.
set(project ${WORK}/project)
file(WRITE ${project}/CMakeLists.txt "cmake_minimum_required(VERSION 3.16)
project(waits NONE)
include(${CMAKE_CURRENT_LIST_DIR}/check_waits_build.cmake)
zem_refuse_qt_waits(waits_checked \${CMAKE_CURRENT_SOURCE_DIR}/tests)
")
file(WRITE ${project}/tests/ui/tst_a.cpp "void keys() {}\n")

# Builds: "built", or refused naming <file>:<line>.
function(build expected)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/bin RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expected STREQUAL "built")
    set(ok FALSE)
    if(rc EQUAL 0)
      set(ok TRUE)
    endif()
  else()
    string(REGEX REPLACE "[.]" "[.]" shown "${expected}: waits with")
    set(ok FALSE)
    if(NOT rc EQUAL 0 AND out MATCHES "${shown}")
      set(ok TRUE)
    endif()
  endif()
  if(NOT ok)
    string(APPEND failures "a build that should have ${expected} did not:\n${out}\n")
    set(failures "${failures}" PARENT_SCOPE)
  endif()
endfunction()

# Writes a source after the last check, later than its stamp even on a coarse clock.
function(edit file text)
  file(WRITE ${project}/${file} "${text}")
  file(TIMESTAMP ${WORK}/bin/waits_checked.stamp checked "%s%f")
  file(TIMESTAMP ${project}/${file} written "%s%f")
  while(NOT written STRGREATER checked)
    file(TOUCH ${project}/${file})
    file(TIMESTAMP ${project}/${file} written "%s%f")
  endwhile()
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${project} -B ${WORK}/bin -G ${GENERATOR} -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the project wired as tests/ does not configure:\n${err}")
endif()
build(built)
edit(tests/ui/tst_a.cpp "void keys() {\n    QTest::qWait (100);\n}\n")
build(tests/ui/tst_a.cpp:2)
build(tests/ui/tst_a.cpp:2)
edit(tests/ui/tst_a.cpp "void keys() {}\n")
build(built)
edit(tests/core/fixture.h "using namespace QTest;\nvoid f() { qSleep(1); }\n")
build(tests/core/fixture.h:2)

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
