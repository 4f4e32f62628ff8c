# The libraries of a Windows build, taken from Debian's packages: the
# header-only nlohmann-json, CLI11 and RapidJSON through a folder that holds just their
# headers (never the Linux /usr/include as a whole), GoogleTest built from its
# sources.
set(DRVX_WINDOWS_INCLUDE ${CMAKE_BINARY_DIR}/windows-deps/include)
file(MAKE_DIRECTORY ${DRVX_WINDOWS_INCLUDE})
foreach(folder nlohmann CLI rapidjson)
  file(CREATE_LINK /usr/include/${folder} ${DRVX_WINDOWS_INCLUDE}/${folder} SYMBOLIC)
endforeach()
foreach(target nlohmann_json::nlohmann_json CLI11::CLI11 RapidJSON::RapidJSON)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${DRVX_WINDOWS_INCLUDE})
endforeach()

if(DRVX_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Its own CMake files name the targets GTest::gtest and GTest::gmock.
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
