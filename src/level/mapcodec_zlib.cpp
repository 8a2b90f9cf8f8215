// mapcodec_zlib.cpp -- zlib's and gzip's layers, through zlib, which tells the two wrappings
// apart by their headers.
#include "mapcodec.h"

#include <zlib.h>

namespace {

// zlib's largest window, plus 32: either wrapping, found from its header.
constexpr int ZLIB_OR_GZIP = 15 + 32;

} // namespace

MapUnpack mapcodec_inflate(const std::string &in, size_t limit, std::string *out,
                           std::string *why) {
  z_stream stream{};
  if (inflateInit2(&stream, ZLIB_OR_GZIP) != Z_OK) {
    *why = "zlib did not start";
    return MapUnpack::damaged;
  }
  out->resize(limit);
  stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
  stream.avail_in = static_cast<uInt>(in.size());
  stream.next_out = reinterpret_cast<Bytef *>(out->data());
  stream.avail_out = static_cast<uInt>(limit);
  int result = inflate(&stream, Z_FINISH);
  out->resize(stream.total_out);
  // A full output with data still to come is more than the limit: the caller counts it.
  bool done = result == Z_STREAM_END || (result == Z_BUF_ERROR && stream.avail_out == 0);
  *why = stream.msg != nullptr ? stream.msg : "the data ends too soon";
  inflateEnd(&stream);
  return done ? MapUnpack::done : MapUnpack::damaged;
}
