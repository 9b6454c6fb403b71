# Settings of the Windows builds: a static, self-contained executable per program that
# needs only Windows' own DLLs, and the dependencies built by scripts/lib/install-deps.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

set(LUMO_ARCH ${CMAKE_SYSTEM_PROCESSOR})
set(LUMO_OPENSSL ${LUMO_CACHE}/libcrypto-${LUMO_ARCH})
if(NOT EXISTS ${LUMO_OPENSSL}/lib/libcrypto.a)
  message(FATAL_ERROR "libcrypto for ${LUMO_ARCH} is missing: run scripts/lib/install-deps")
endif()
add_library(lumo_crypto STATIC IMPORTED GLOBAL)
set_target_properties(lumo_crypto PROPERTIES
  IMPORTED_LOCATION ${LUMO_OPENSSL}/lib/libcrypto.a
  INTERFACE_INCLUDE_DIRECTORIES ${LUMO_OPENSSL}/include)

find_library(LUMO_ZLIB_LIBRARY NAMES libz.a z REQUIRED)
add_library(lumo_zlib STATIC IMPORTED GLOBAL)
set_target_properties(lumo_zlib PROPERTIES IMPORTED_LOCATION ${LUMO_ZLIB_LIBRARY})

# nlohmann/json is header-only: take Debian's headers without the rest of /usr/include.
set(LUMO_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${LUMO_JSON_INCLUDE})
file(CREATE_LINK /usr/include/nlohmann ${LUMO_JSON_INCLUDE}/nlohmann SYMBOLIC)
add_library(lumo_json INTERFACE)
target_include_directories(lumo_json SYSTEM INTERFACE ${LUMO_JSON_INCLUDE})

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The test framework is compiled for a quick build: the tests' speed is the code's under test.
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -O1)
endforeach()

# Every test program runs under wine64 through the project's runner.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
enable_testing()
include(GoogleTest)

# lumo_add_gtest(NAME [SERIAL] [E2E] SOURCES a.cpp b.cpp LIBS x y): a GoogleTest program whose
# suites CTest runs one by one under Wine, each suite's cases in one process (a Wine process start
# costs more than most cases), labelled "unit".
# SERIAL: the suites run alone (they watch machine-wide state, such as the runtime's private
# folders, that other tests' projectors would change).
# E2E: end-to-end tests that start projectors as Wine processes of their own: run alone,
# labelled "e2e" (only those may get a second try, see scripts/test).
function(lumo_add_gtest name)
  cmake_parse_arguments(T "SERIAL;E2E" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE gtest_main gmock ${T_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  # Test code is compiled for a quick build, not for speed: the code under test keeps its own.
  target_compile_options(${name} PRIVATE ${LUMO_WARNINGS} -O1)
  set(label unit)
  set(serial FALSE)
  set(timeout 300)
  if(T_E2E)
    set(label e2e)
    set(serial TRUE)
    set(timeout 600)
  elseif(T_SERIAL)
    set(serial TRUE)
  endif()
  set(tests_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake)
  string(CONCAT include
    "include([==[${CMAKE_SOURCE_DIR}/cmake/GTestSuites.cmake]==])\n"
    "if(EXISTS [==[$<TARGET_FILE:${name}>]==])\n"
    "  lumo_discover_suites(${name} [==[$<TARGET_FILE:${name}>]==] [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==]\n"
    "                       [==[${tests_file}]==] ${timeout} ${label} ${serial})\n"
    "  include(\"\${lumo_suites_file}\")\n"
    "else()\n"
    "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\n"
    "endif()\n")
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake CONTENT "${include}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
endfunction()
