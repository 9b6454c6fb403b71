// Per-pixel alpha of a frame the player drew twice, once over white and once over black. Portable:
// no Windows types, so it is tested and measured natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumo {

// For `count` 32-bit BGRA pixels: alpha = 255 - (blue over white - blue over black), taken modulo
// 256, in the top byte; colour from the pass over black, which is already premultiplied.
void recoverAlpha(const uint32_t* white, const uint32_t* black, uint32_t* result, size_t count);

// The same over a rectangle of rows of a bitmap `stride` pixels wide: `firstRow` to `endRow`
// (exclusive) of the bitmap's memory order, columns `left` to `right` (exclusive).
void recoverAlphaRect(const uint32_t* white, const uint32_t* black, uint32_t* result, size_t stride,
                      size_t firstRow, size_t endRow, size_t left, size_t right);

}  // namespace lumo
