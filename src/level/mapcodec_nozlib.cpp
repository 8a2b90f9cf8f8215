// mapcodec_nozlib.cpp -- the stand-in for a build without zlib: no layer in zlib's or gzip's
// wrapping is read.
#include "mapcodec.h"

MapUnpack mapcodec_inflate(const std::string &, size_t, std::string *, std::string *) {
  return MapUnpack::unsupported;
}
