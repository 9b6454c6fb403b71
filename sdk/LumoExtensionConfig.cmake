# find_package(LumoExtension CONFIG PATHS <lumo>/sdk) gives lumo_add_extension and lumo_sdk.
include(${CMAKE_CURRENT_LIST_DIR}/cmake/LumoExtension.cmake)
