# The extension SDK carries the toolchain, so runtime and extensions are built by the same one.
include(${CMAKE_CURRENT_LIST_DIR}/../sdk/cmake/toolchain-i686.cmake)
