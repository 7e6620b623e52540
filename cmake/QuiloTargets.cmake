# One helper makes every library target of the project, so that all of them
# share include paths, language level and warnings. CORE marks a target of the
# pure core: it may link neither Qt nor any of the project's targets outside
# the core (those must be made before it), and configuring fails if it tries.
function(quilo_library name)
  cmake_parse_arguments(ARG "CORE" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_features(${name} PUBLIC cxx_std_20)
  # -Wrestrict: GCC 12 reports std::string assignments falsely (its bug 105329).
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(ARG_CORE)
    get_property(core_targets GLOBAL PROPERTY QUILO_CORE_TARGETS)
    foreach(dep IN LISTS ARG_DEPS)
      if(dep MATCHES "^Qt" OR (dep MATCHES "^quilo_" AND NOT dep IN_LIST core_targets))
        message(FATAL_ERROR "${name} is a core target and may not link ${dep}")
      endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY QUILO_CORE_TARGETS ${name})
  else()
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# A test executable of GoogleTest cases, registered with CTest case by case.
# GUI marks view tests: they get a main that creates a QApplication.
function(quilo_test name)
  cmake_parse_arguments(ARG "GUI;SERIAL" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
  set_target_properties(${name} PROPERTIES AUTOMOC ${ARG_GUI})
  if(ARG_GUI)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/gui_test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest Qt6::Widgets)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  endif()
  set(serial FALSE)
  if(ARG_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" RUN_SERIAL ${serial} TIMEOUT 180)
endfunction()
