# Builds an extension library (NAME.vdd) with the MinGW-w64 toolchain the runtime is built with:
#   include(<lumo>/sdk/cmake/LumoExtension.cmake)
#   lumo_add_extension(NAME source.cpp ...)
# Configure with -DCMAKE_TOOLCHAIN_FILE=<lumo>/sdk/cmake/toolchain-x86_64.cmake (or -i686) so the
# library matches the runtime of that architecture.
set(LUMO_SDK_DIR ${CMAKE_CURRENT_LIST_DIR}/.. CACHE INTERNAL "The Lumo extension SDK")

function(lumo_add_extension name)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".vdd" CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON)
  target_include_directories(${name} PRIVATE ${LUMO_SDK_DIR}/include)
  # The library carries its own C++ runtime, as the runtime does: nothing to install beside it.
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
