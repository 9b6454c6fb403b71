// The libmpg123 feed decoder, asked for signed 16-bit output at whatever rate and channel
// count the frames carry.
#include "Mp3Decoder.h"

#if LUMO_HAVE_MPG123
#include <mpg123.h>
#endif


namespace sound {

#if LUMO_HAVE_MPG123

struct Mp3Decoder::Handle {
  mpg123_handle* decoder = nullptr;
  ~Handle() {
    if (decoder) mpg123_delete(decoder);
  }
};

namespace {
bool initialised() {
  static const bool ok = mpg123_init() == MPG123_OK;
  return ok;
}
}  // namespace

Mp3Decoder::Mp3Decoder(bool trimPadding) : handle_(std::make_unique<Handle>()) {
  if (!initialised()) return;
  int error = 0;
  mpg123_handle* decoder = mpg123_new(nullptr, &error);
  if (!decoder) return;
  mpg123_param(decoder, MPG123_FLAGS, MPG123_QUIET, 0);
  if (!trimPadding) {
    mpg123_param(decoder, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME, 0);
  }
  mpg123_format_none(decoder);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(decoder) != MPG123_OK) {
    mpg123_delete(decoder);
    return;
  }
  handle_->decoder = decoder;
}

Mp3Decoder::~Mp3Decoder() = default;

bool Mp3Decoder::available() { return initialised(); }

bool Mp3Decoder::feed(const uint8_t* data, size_t size, Samples& out) {
  mpg123_handle* decoder = handle_->decoder;
  if (!decoder) return false;
  unsigned char buffer[16384];
  const unsigned char* input = data;
  size_t inputSize = size;
  for (;;) {
    size_t done = 0;
    const int rc = mpg123_decode(decoder, input, inputSize, buffer, sizeof buffer, &done);
    input = nullptr;
    inputSize = 0;
    if (rc == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(decoder, &rate, &channels, &encoding);
      if (!formatKnown_) {
        out.rate = static_cast<uint32_t>(rate);
        out.channels = static_cast<uint8_t>(channels == 2 ? 2 : 1);
        formatKnown_ = true;
      }
    }
    const size_t count = done / 2;
    for (size_t i = 0; i < count; ++i)
      out.data.push_back(static_cast<int16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8)));
    if (rc == MPG123_NEED_MORE || rc == MPG123_DONE) return true;
    if (rc == MPG123_ERR) return formatKnown_;
  }
}

#else

struct Mp3Decoder::Handle {};
Mp3Decoder::Mp3Decoder(bool) {}
Mp3Decoder::~Mp3Decoder() = default;
bool Mp3Decoder::available() { return false; }
bool Mp3Decoder::feed(const uint8_t*, size_t, Samples&) { return false; }

#endif

}  // namespace sound
