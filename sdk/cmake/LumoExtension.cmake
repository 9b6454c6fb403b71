# Builds extension libraries (.vdd) for the Lumo runtime: the SDK headers as the target
# lumo_sdk, and lumo_add_extension(name sources...) making name.vdd for the architecture of
# the toolchain in use (toolchain-x86_64.cmake or toolchain-i686.cmake beside this file).
include_guard(GLOBAL)

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows" OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  message(FATAL_ERROR "Lumo extensions are built with the runtime's MinGW-w64 g++ toolchain: "
                      "configure with -DCMAKE_TOOLCHAIN_FILE=${CMAKE_CURRENT_LIST_DIR}/toolchain-x86_64.cmake (or -i686)")
endif()

if(NOT TARGET lumo_sdk)
  add_library(lumo_sdk INTERFACE)
  target_include_directories(lumo_sdk INTERFACE ${CMAKE_CURRENT_LIST_DIR}/../include)
  target_compile_features(lumo_sdk INTERFACE cxx_std_17)
endif()

# lumo_add_extension(name source...): name.vdd, a DLL exporting GetNumPlugins and
# GetPluginInstance, with its C++ runtime linked in statically like the runtime's own.
function(lumo_add_extension name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".vdd")
  target_link_libraries(${name} PRIVATE lumo_sdk)
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE NOMINMAX)
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
