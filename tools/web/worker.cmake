# worker.cmake -- writes the site's service worker: src/web/sw.js with the build's name (a hash
# of the contents of every other file of the site) and the list of those files written in.
#
#   cmake -DSITE=DIR -DTEMPLATE=sw.js -DFILES=index.html,page.js,... -P worker.cmake
#
# The same files give the same worker, byte for byte; any change to one gives a new name.
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
