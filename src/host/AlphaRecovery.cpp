// One pass over both buffers with only adds, masks and shifts, so the compiler turns the loop
// into vector code (the restrict pointers spare it the overlap checks).
#include "host/AlphaRecovery.h"

namespace lumo {

__attribute__((optimize("tree-vectorize"))) void recoverAlpha(const uint32_t* __restrict white,
                                                              const uint32_t* __restrict black,
                                                              uint32_t* __restrict result, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t onBlack = black[i];
    // 255 - (w - b) modulo 256 is (255 - w + b) in the low byte.
    const uint32_t alpha = (255u - (white[i] & 0xFFu) + (onBlack & 0xFFu)) & 0xFFu;
    result[i] = (onBlack & 0x00FFFFFFu) | (alpha << 24);
  }
}

void recoverAlphaRect(const uint32_t* white, const uint32_t* black, uint32_t* result, size_t stride,
                      size_t firstRow, size_t endRow, size_t left, size_t right) {
  if (right <= left) return;
  for (size_t row = firstRow; row < endRow; ++row) {
    const size_t at = row * stride + left;
    recoverAlpha(white + at, black + at, result + at, right - left);
  }
}

}  // namespace lumo
