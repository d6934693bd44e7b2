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
# LOCK <name>: the executable's cases never run at the same time as others holding that lock
# (they share something of the machine, such as an X display's window manager).
function(varn_tests name dir)
  cmake_parse_arguments(PARSE_ARGV 2 _vt "" "LOCK" "")
  find_package(GTest REQUIRED)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${_vt_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(_props ENVIRONMENT "VARN_DATA_DIR=${PROJECT_SOURCE_DIR}/data")
  if(_vt_LOCK)
    list(APPEND _props RESOURCE_LOCK ${_vt_LOCK})
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES ${_props})
endfunction()
