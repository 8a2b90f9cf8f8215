// mapcodec_nozstd.cpp -- the stand-in for a build without libzstd: no Zstandard layer is read.
// mutate: off (the native build, which the tests run, never builds this stand-in)
#include "mapcodec.h"

MapUnpack mapcodec_zstd(const std::string &, size_t, std::string *, std::string *) {
  return MapUnpack::unsupported;
}
