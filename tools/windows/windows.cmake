# windows.cmake -- the game for 64-bit Windows. The top-level CMakeLists.txt includes this file
# when CMake runs with the MinGW-w64 toolchain (tools/windows/mingw.cmake; see
# tools/windows/build.sh):
#
# - the level and asset generators are the native ones of PORDECK_HOST_TOOLS;
# - the map reader takes nlohmann-json's headers and zlib (static) from the system (see
#   src/level/CMakeLists.txt);
# - SDL2 and SDL2_mixer are the DLLs that tools/windows/sdl.sh builds, found through SDL2_DIR
#   and SDL2_mixer_DIR, and copied beside every program of the build;
# - pordeck.exe is a GUI program (no console window) with the game's icon and version in its
#   resources, and the target `zip` packs it for players (tools/windows/zip.sh, which checks
#   the DLLs with tools/windows/dlls.sh);
# - the tests use GoogleTest built from Debian's sources and run under Wine
#   (tools/windows/wine.sh).
set(PORDECK_WINDOWS ${CMAKE_BINARY_DIR}/windows)
set(PORDECK_ZIP ${CMAKE_BINARY_DIR}/pordeck-${PROJECT_VERSION}-windows-x86_64.zip)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh)

# The map reader's zlib (Debian's libz-mingw-w64-dev) is linked in, not a DLL of its own;
# Debian has no libzstd for MinGW, so Zstandard layers are refused with a line that says so.
set(ZLIB_USE_STATIC_LIBS ON)

# Every program finds the DLLs beside itself, as the player's copy does.
get_filename_component(sdl_prefix ${SDL2_DIR}/../../.. ABSOLUTE)
set(PORDECK_DLLS ${sdl_prefix}/bin/SDL2.dll ${sdl_prefix}/bin/SDL2_mixer.dll)
file(COPY ${PORDECK_DLLS} DESTINATION ${CMAKE_BINARY_DIR})

if(PORDECK_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "")
  set(INSTALL_GTEST OFF CACHE BOOL "")
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The icon, from the generator's PNGs; PNG inside the icon for the largest size, as Windows
# expects it there.
set(icons ${PORDECK_WINDOWS}/icons)
set(icon_pngs 16 32 48 64 128)
list(TRANSFORM icon_pngs REPLACE "(.+)" "${icons}/\\1x\\1/apps/pordeck.png")
add_custom_command(
  OUTPUT ${PORDECK_WINDOWS}/pordeck.ico
  COMMAND assetgen --icons ${icons}
  COMMAND icotool --create --output=${PORDECK_WINDOWS}/pordeck.ico ${icon_pngs}
    --raw=${icons}/256x256/apps/pordeck.png
  DEPENDS assetgen
  COMMENT "Generating the Windows icon")
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE PORDECK_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pordeck.rc.in ${PORDECK_WINDOWS}/pordeck.rc @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${PORDECK_WINDOWS}/README.txt @ONLY)
add_custom_target(windows_icon DEPENDS ${PORDECK_WINDOWS}/pordeck.ico)

# Run at the end of the top-level file, once the game's target exists.
function(pordeck_windows_zip)
  target_sources(pordeck PRIVATE ${PORDECK_WINDOWS}/pordeck.rc)
  set_source_files_properties(${PORDECK_WINDOWS}/pordeck.rc TARGET_DIRECTORY pordeck
    PROPERTIES OBJECT_DEPENDS ${PORDECK_WINDOWS}/pordeck.ico)
  add_dependencies(pordeck windows_icon)
  set_target_properties(pordeck PROPERTIES WIN32_EXECUTABLE ON)
  target_link_libraries(pordeck PRIVATE SDL2::SDL2main)
  # What goes into the zip: its name there, then the file.
  set(members pordeck.exe $<TARGET_FILE:pordeck> README.txt ${PORDECK_WINDOWS}/README.txt
    LICENSE.txt ${CMAKE_SOURCE_DIR}/LICENSE
    LICENSE-SDL2.txt ${sdl_prefix}/share/licenses/SDL2/LICENSE.txt
    LICENSE-SDL2_mixer.txt ${sdl_prefix}/share/licenses/SDL2_mixer/LICENSE.txt)
  foreach(dll ${PORDECK_DLLS})
    get_filename_component(name ${dll} NAME)
    list(APPEND members ${name} ${dll})
  endforeach()
  foreach(asset ${PORDECK_ASSETS})
    list(APPEND members ${asset} ${CMAKE_BINARY_DIR}/${asset})
  endforeach()
  # Packed by every build (in seconds): its times are those of the commit checked out.
  add_custom_target(zip ALL
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/windows/zip.sh ${PORDECK_ZIP} ${CMAKE_SOURCE_DIR}
      ${members}
    DEPENDS pordeck assets
    BYPRODUCTS ${PORDECK_ZIP}
    COMMENT "Packing ${PORDECK_ZIP}")
endfunction()
cmake_language(DEFER CALL pordeck_windows_zip)
