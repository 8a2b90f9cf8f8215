// mapcodec.h -- the decompressors of the editor's compressed tile layers. The build picks, for
// each, the library's or a stand-in for a system that lacks the library, which reads nothing.
#pragma once

#include <cstddef>
#include <string>

enum class MapUnpack {
  done,       // *out holds what the data unpacked to, cut at the limit
  damaged,    // the data does not unpack; *why holds the library's word on it
  unsupported // this build has no such decompressor
};

// Unpacks data deflated in zlib's or gzip's wrapping into *out, at most `limit` bytes of it.
MapUnpack mapcodec_inflate(const std::string &in, size_t limit, std::string *out, std::string *why);
// The same for Zstandard.
MapUnpack mapcodec_zstd(const std::string &in, size_t limit, std::string *out, std::string *why);
