# ThreadSanitizer build: Qt 5's QMutex locks inside libQt5Core, which is not instrumented, so the
# sanitizer sees none of its ordering and would report every access the program guards with a
# QMutex as a race. Every executable that links the program's core (the program itself, the bench,
# the gallery, the tests) gets its own QMutex calls sent through tests/support/tsan_qmutex.cpp,
# which announces them to the sanitizer.
function(zem_announce_qmutex core_target)
  add_library(zem_tsan_qmutex STATIC ${PROJECT_SOURCE_DIR}/tests/support/tsan_qmutex.cpp)
  target_link_libraries(zem_tsan_qmutex PUBLIC Qt5::Core)
  target_link_options(zem_tsan_qmutex INTERFACE
    -Wl,--wrap=_ZN6QMutex4lockEv -Wl,--wrap=_ZN6QMutex7tryLockEi -Wl,--wrap=_ZN6QMutex6unlockEv)
  target_link_libraries(${core_target} PUBLIC zem_tsan_qmutex)
endfunction()
