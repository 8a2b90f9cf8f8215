// mapcodec_nozlib.cpp -- the stand-in for a build without zlib: no layer in zlib's or gzip's
// wrapping is read.
// mutate: off (the native build, which the tests run, never builds this stand-in)
#include "mapcodec.h"

MapUnpack mapcodec_inflate(const std::string &, size_t, std::string *, std::string *) {
  return MapUnpack::unsupported;
}
