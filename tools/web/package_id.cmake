# package_id.cmake -- emscripten's packager gives the preloaded data a random id in the
# game's script; this gives it the data's own hash instead, so that the same data makes the
# same script:
#
#   cmake -DSCRIPT=site/pordeck.js -DDATA=site/pordeck.data -P package_id.cmake
file(READ ${SCRIPT} script)
file(SHA256 ${DATA} hash)
string(REGEX REPLACE "\"package_uuid\":\"[^\"]*\"" "\"package_uuid\":\"${hash}\"" script
  "${script}")
file(WRITE ${SCRIPT} "${script}")
