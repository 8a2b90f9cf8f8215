# web.cmake -- the game for the browser. The top-level CMakeLists.txt includes this file
# when CMake runs under emscripten (see tools/web/build.sh):
#
# - the level and asset generators are the native ones of PORDECK_HOST_TOOLS (imported by the
#   top-level file), run at build time as in the desktop build;
# - SDL2 and SDL2_mixer are the static libraries that tools/web/sdl.sh builds, found through
#   SDL2_DIR and SDL2_mixer_DIR;
# - pordeck links to site/pordeck.js, .wasm and .data (the generated res/ preloaded at /res,
#   where SDL_GetBasePath points in the browser), beside the page of src/web/, its icons and
#   its service worker (the target web_site).
#
# The game's sources are compiled unchanged.

# The static SDL2_mixer comes without the plain target name that the game links to.
if(NOT TARGET SDL2_mixer::SDL2_mixer)
  add_library(SDL2_mixer::SDL2_mixer INTERFACE IMPORTED)
  target_link_libraries(SDL2_mixer::SDL2_mixer INTERFACE SDL2_mixer::SDL2_mixer-static)
endif()

# The layer checks link each library whole; CMake knows no such feature for emscripten, whose
# linker takes the usual flags.
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE
  "LINKER:--whole-archive" "<LINK_ITEM>" "LINKER:--no-whole-archive")
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE_SUPPORTED TRUE)

file(WRITE ${CMAKE_BINARY_DIR}/library_funcs.txt "$autoResumeAudioContext\n$dynCall\n")
set(PORDECK_WEB_LINK_OPTIONS
  # The frame loop stays a plain loop: SDL_Delay, through emscripten_sleep, hands the thread
  # back to the browser until the next frame is due.
  -sASYNCIFY
  # SDL's audio code calls these from JavaScript. Read from a file, as a '$' would not
  # reach the linker unharmed.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library_funcs.txt
  -sALLOW_MEMORY_GROWTH
  # The page's sound buttons call the game's switch (settings.h).
  -sEXPORTED_FUNCTIONS=_main,_settings_switch_sound
  -sENVIRONMENT=web)

# The site's own files beside the game's: the page, the web app manifest, the icons at the two
# sizes the manifest names (from the asset generator) and, last, the service worker, which is
# named after all the others. build.sh builds the target web_site.
set(PORDECK_WEB_PAGE index.html page.js manifest.webmanifest)

# Run at the end of the top-level file, once the game's target exists.
function(pordeck_web_site)
  set(site ${CMAKE_BINARY_DIR}/site)
  set_target_properties(pordeck PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})
  target_link_options(pordeck PRIVATE ${PORDECK_WEB_LINK_OPTIONS})
  # The assets one by one, so that they lie in the data package in the list's order rather
  # than in the order the file system lists res/.
  foreach(asset ${PORDECK_ASSETS})
    target_link_options(pordeck PRIVATE "SHELL:--preload-file ${CMAKE_BINARY_DIR}/${asset}@/${asset}")
  endforeach()
  set_property(TARGET pordeck APPEND PROPERTY LINK_DEPENDS ${PORDECK_ASSET_FILES})
  # The page's files as they are, but for the version written into index.html.
  foreach(file ${PORDECK_WEB_PAGE})
    configure_file(${CMAKE_SOURCE_DIR}/src/web/${file} ${site}/${file} @ONLY)
  endforeach()
  set(files ${PORDECK_WEB_PAGE})
  foreach(size 192 512)
    add_custom_command(OUTPUT ${site}/icon-${size}.png
      COMMAND assetgen --icon ${size} ${site}/icon-${size}.png
      DEPENDS assetgen)
    list(APPEND files icon-${size}.png)
  endforeach()
  list(TRANSFORM files PREPEND ${site}/ OUTPUT_VARIABLE made)
  list(APPEND files pordeck.js pordeck.wasm pordeck.data)
  list(JOIN files "," files)
  set(worker ${CMAKE_SOURCE_DIR}/src/web/sw.js)
  add_custom_command(OUTPUT ${site}/sw.js
    COMMAND ${CMAKE_COMMAND} -DSITE=${site} -DTEMPLATE=${worker} -DFILES=${files}
      -P ${CMAKE_SOURCE_DIR}/tools/web/site.cmake
    DEPENDS pordeck ${made} ${worker} ${CMAKE_SOURCE_DIR}/tools/web/site.cmake
    COMMENT "Finishing the site: the data package's id, the service worker"
    VERBATIM)
  add_custom_target(web_site ALL DEPENDS ${site}/sw.js)
endfunction()
cmake_language(DEFER CALL pordeck_web_site)
