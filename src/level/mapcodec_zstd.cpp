// mapcodec_zstd.cpp -- Zstandard's layers, through libzstd.
#include "mapcodec.h"

#include <zstd.h>
#include <zstd_errors.h>

MapUnpack mapcodec_zstd(const std::string &in, size_t limit, std::string *out, std::string *why) {
  out->resize(limit);
  size_t size = ZSTD_decompress(out->data(), limit, in.data(), in.size());
  if (!ZSTD_isError(size)) {
    out->resize(size);
    return MapUnpack::done;
  }
  // More than the limit: the caller counts it, as for the other formats.
  if (ZSTD_getErrorCode(size) == ZSTD_error_dstSize_tooSmall) {
    return MapUnpack::done;
  }
  *why = ZSTD_getErrorName(size);
  out->clear();
  return MapUnpack::damaged;
}
