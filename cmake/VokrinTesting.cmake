# vokrin_add_gtest(<name> SOURCES ... [LIBS ...] [GUI] [LABELS ...] [TIMEOUT s])
#   A GoogleTest executable whose tests CTest lists one by one.
#   Every test process gets a fresh temporary XDG_CONFIG_HOME from the shared test
#   main, so no test ever touches the real home. GUI tests run on Qt's offscreen
#   platform with a QApplication made by the shared GUI main.
function(vokrin_add_gtest name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE vokrin_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE vokrin_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VOKRIN_SOURCE_DIR=${PROJECT_SOURCE_DIR};VOKRIN_BINARY_DIR=${PROJECT_BINARY_DIR}"
      LABELS "${T_LABELS}"
      TIMEOUT ${T_TIMEOUT})
endfunction()
