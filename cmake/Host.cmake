# Settings of the host build, which makes the native projector builder only.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_package(ZLIB REQUIRED)
find_package(nlohmann_json REQUIRED)
add_library(lumo_crypto INTERFACE)
target_link_libraries(lumo_crypto INTERFACE OpenSSL::Crypto)
add_library(lumo_zlib INTERFACE)
target_link_libraries(lumo_zlib INTERFACE ZLIB::ZLIB)
add_library(lumo_json INTERFACE)
target_link_libraries(lumo_json INTERFACE nlohmann_json::nlohmann_json)

# Tests of the builder's portable parts run natively too (GoogleTest from Debian's sources);
# the fuzz build has harnesses instead.
if(LUMO_FUZZ)
  return()
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The test framework is compiled for a quick build: the tests' speed is the code's under test.
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -O1)
endforeach()
enable_testing()
include(GoogleTest)

function(lumo_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest_main gmock ${T_LIBS})
  # Test code is compiled for a quick build, not for speed: the code under test keeps its own.
  target_compile_options(${name} PRIVATE ${LUMO_WARNINGS} -O1)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
