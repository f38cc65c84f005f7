# vokrin_add_gtest(<name> SOURCES ... [LIBS ...] [GUI] [SERIAL] [LABELS ...] [TIMEOUT s])
#   A GoogleTest executable whose tests CTest lists one by one.
#   Every test process gets a fresh temporary XDG_CONFIG_HOME from the shared test
#   main, so no test ever touches the real home. GUI tests run on Qt's offscreen
#   platform with a QApplication made by the shared GUI main (which also knows the
#   source and build trees). SERIAL tests run alone: they time what a real sound
#   server plays and must not share the two cores with anything else.
function(vokrin_add_gtest name)
  cmake_parse_arguments(T "GUI;SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
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
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  include(GoogleTest)
  # One value per property: a list here would be split into separate properties.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      LABELS "${T_LABELS}"
      RUN_SERIAL ${serial}
      TIMEOUT ${T_TIMEOUT})
endfunction()
