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
