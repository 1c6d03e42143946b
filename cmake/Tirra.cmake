# tirra_add_library(NAME [DEPS target...])
#   One static library per folder under src/: every .cpp in the folder is part of it, so
#   adding a file needs no edit here. Headers are included as "folder/File.h".
function(tirra_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/pch.cpp)  # a folder whose first file is still to come
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  tirra_use_pch(${name})
endfunction()

# Precompiled standard and JSON headers: nlohmann-json is the one heavy header used everywhere.
function(tirra_use_pch target)
  if(TARGET tirra_pch)
    target_precompile_headers(${target} REUSE_FROM tirra_pch)
  endif()
endfunction()

# tirra_add_test(NAME [LIBS target...])
#   One GoogleTest executable per subsystem: every .cpp in the folder.
function(tirra_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} test_support GTest::gtest GTest::gmock GTest::gtest_main)
  tirra_use_pch(test_${name})
  gtest_discover_tests(test_${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ALSOFT_DRIVERS=null;TIRRA_RESOURCES=${CMAKE_SOURCE_DIR}/src/resources"
               TIMEOUT 120)
endfunction()

# The target whose precompiled header the others reuse.
add_library(tirra_pch STATIC ${CMAKE_SOURCE_DIR}/cmake/pch.cpp)
target_link_libraries(tirra_pch PUBLIC nlohmann_json::nlohmann_json)
target_precompile_headers(tirra_pch PUBLIC
  <nlohmann/json.hpp> <string> <vector> <map> <memory> <functional> <optional>
  <chrono> <mutex> <filesystem>)
