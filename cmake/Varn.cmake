# One library per folder: every .cpp in the folder belongs to it, so adding a
# file needs no edit here (CONFIGURE_DEPENDS re-globs on each build).
function(varn_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(_src)
    add_library(${name} STATIC ${_src})
    set(_scope PUBLIC)
  else()
    add_library(${name} INTERFACE)   # headers only so far
    set(_scope INTERFACE)
  endif()
  target_include_directories(${name} ${_scope} ${PROJECT_SOURCE_DIR})
  if(ARGN)
    target_link_libraries(${name} ${_scope} ${ARGN})
  endif()
endfunction()

# One GoogleTest executable per tested folder, its cases registered with CTest.
function(varn_tests name dir)
  find_package(GTest REQUIRED)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES ENVIRONMENT "VARN_DATA_DIR=${PROJECT_SOURCE_DIR}/data")
endfunction()
