# GoogleTest for a cross build: Debian's library is built for the build
# machine, so the target's is built here from Debian's own sources (package
# googletest), with the targets named as find_package(GTest) names them.
set(ORVO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
  "GoogleTest sources built for the target in a cross build")
if(NOT EXISTS ${ORVO_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${ORVO_GTEST_SOURCE_DIR} (install googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVO_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(_lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${_lib})
    add_library(GTest::${_lib} ALIAS ${_lib})
  endif()
endforeach()
