# One test program per area: kalvestrin_add_test(NAME [SANITIZED] SOURCES... LIBS ...)
# SANITIZED tests also run in the AddressSanitizer and UndefinedBehaviorSanitizer build.
# (Tests that throw through Qt on purpose stay out: Qt's own frames leak when unwound.)
# Every test runs headless on the offscreen platform with a fixed C locale,
# so number and date texts do not depend on the machine.
function(kalvestrin_add_test name)
  cmake_parse_arguments(ARG "SANITIZED" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kalvestrin_testsupport Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 300)
  if(ARG_SANITIZED)
    set_tests_properties(${name} PROPERTIES LABELS sanitized)
  endif()
endfunction()
