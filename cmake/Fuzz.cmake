# The fuzz build: the host build with clang, every library instrumented for libFuzzer's
# coverage and checked by the address and undefined-behaviour sanitizers.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "the fuzz build needs clang (scripts/build fuzz sets it)")
endif()
add_compile_options(-g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined,fuzzer-no-link
                    -fno-sanitize-recover=all)
add_link_options(-fsanitize=address,undefined)
enable_testing()
