# One test program per area: kalvestrin_add_test(NAME [CORE] SOURCES... LIBS ...)
# CORE tests (no windows) also run in the sanitizer build under the label "sanitized".
# Every test runs headless on the offscreen platform with a fixed C locale,
# so number and date texts do not depend on the machine.
function(kalvestrin_add_test name)
  cmake_parse_arguments(ARG "CORE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kalvestrin_testsupport Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 300)
  if(ARG_CORE)
    set_tests_properties(${name} PROPERTIES LABELS sanitized)
  endif()
endfunction()
