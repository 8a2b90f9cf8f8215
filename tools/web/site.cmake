# site.cmake -- finishes the site once the game is linked, so that the same sources give the
# same site, byte for byte:
#
#   cmake -DSITE=DIR -DTEMPLATE=sw.js -DFILES=index.html,page.js,... -P site.cmake
#
# - the file packager names the data package with a random id in pordeck.js (kept to check a
#   copy of the package in IndexedDB, which this build does not keep): it becomes an id made
#   from the package's own hash;
# - the service worker is TEMPLATE with the build's name (a hash of the contents of the FILES)
#   and the list of those files written in: any change to one of them gives a new name.
file(SHA256 ${SITE}/pordeck.data data)
string(REGEX REPLACE "^(........)(....)(....)(....)(............).*" "\\1-\\2-\\3-\\4-\\5" id ${data})
file(READ ${SITE}/pordeck.js game)
string(REGEX REPLACE "\"package_uuid\":\"[0-9a-f-]*\"" "\"package_uuid\":\"${id}\"" game "${game}")
file(WRITE ${SITE}/pordeck.js "${game}")

string(REPLACE "," ";" FILES "${FILES}")
set(digest "")
set(names "'./'")
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND digest "${file} ${hash}\n")
  string(APPEND names ", '${file}'")
endforeach()
string(SHA256 digest "${digest}")
string(SUBSTRING ${digest} 0 16 PORDECK_WEB_BUILD)
set(PORDECK_WEB_FILES "${names}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
