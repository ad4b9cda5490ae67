# vellomar_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>])
#
# Builds a Qt Test program and registers it with CTest. Every test runs with
# the offscreen platform and with HOME and the XDG folders pointed into the
# build tree, so no test can reach the real autostart folders or home.
function(vellomar_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  vellomar_test_environment(${T_NAME})
  if(T_LABELS)
    set_property(TEST ${T_NAME} APPEND PROPERTY LABELS ${T_LABELS})
  endif()
endfunction()

# The sandbox environment shared by every test, also by tests that are not
# Qt Test programs (shell scripts, screenshot runs).
function(vellomar_test_environment test)
  set(sandbox ${CMAKE_BINARY_DIR}/test-sandbox/${test})
  file(MAKE_DIRECTORY ${sandbox}/home ${sandbox}/config ${sandbox}/config-dirs ${sandbox}/data)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "HOME=${sandbox}/home"
    "XDG_CONFIG_HOME=${sandbox}/config"
    "XDG_CONFIG_DIRS=${sandbox}/config-dirs"
    "XDG_DATA_HOME=${sandbox}/data"
    "VELLOMAR_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    "VELLOMAR_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
