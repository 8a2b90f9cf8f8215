# reproducible.cmake -- the source and build folders' paths kept out of what is compiled (debug
# information, __FILE__), so that a build in any folder gives the same bytes. Included by the
# game's CMakeLists.txt, and by the builds of SDL2 and SDL2_mixer for the browser and Windows
# through CMAKE_PROJECT_INCLUDE (tools/debsrc.sh). The build folder is named last: it may lie
# inside the source folder, and the last mapping that matches wins.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
