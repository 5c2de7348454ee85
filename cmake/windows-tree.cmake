# Settings of the Windows tree only: static programs that run under Wine as they stand,
# test programs run in the build's own Wine prefix, and GoogleTest built from source.

# No libstdc++, libgcc or winpthread DLL to carry around.
add_link_options(-static)

set(TORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/tests/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
