# The sources of a folder for this platform: a file whose name ends in
# Posix.cpp or Windows.cpp is the one system's half of a unit, and the other
# system's half is left out.
function(orvo_platform_sources var)
  set(_all ${ARGN})
  if(WIN32)
    list(FILTER _all EXCLUDE REGEX "Posix\\.cpp$")
  else()
    list(FILTER _all EXCLUDE REGEX "Windows\\.cpp$")
  endif()
  set(${var} ${_all} PARENT_SCOPE)
endfunction()

# One static library per core subsystem, made from the .cpp files of its
# folder (not of its ui/ subfolder). A folder without sources yet gives an
# interface library so that dependants can already name it.
function(orvo_core_module name)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM_LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  orvo_platform_sources(_src ${_src})
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_SYSTEM_LIBS} PRIVATE orvo_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} ${ARG_SYSTEM_LIBS})
  endif()
  orvo_assert_core_only(${name})
endfunction()

# Unit tests of one subsystem: every .cpp of the folder makes one executable.
function(orvo_module_tests name)
  cmake_parse_arguments(ARG "" "LABEL" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  orvo_platform_sources(_src ${_src})
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvo_test_support GTest::gtest_main GTest::gmock orvo_warnings)
  target_compile_definitions(${name} PRIVATE
    ORVO_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    ORVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ORVO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(_label ${ARG_LABEL})
  if(NOT _label)
    set(_label unit)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${_label} ENVIRONMENT "ORVO_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
