// The image data of SWF's bitmap tags before decoding: what format it is, the movie's shared
// JPEG tables glued in front of DefineBits data, and SWF's stray JPEG markers taken out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

enum class ImageFormat { Jpeg, Png, Gif, Unknown };

ImageFormat imageFormatOf(const uint8_t* data, size_t size);

// DefineBits holds a JPEG without its tables; JPEGTables holds them between SOI and EOI.
std::vector<uint8_t> glueJpegTables(const std::vector<uint8_t>& tables, const uint8_t* data, size_t size);

// SWF's JPEG data may start with the erroneous header FF D9 FF D8 and may hold several SOI/EOI
// pairs before the scan (tables and image written as separate JPEGs). A standard decoder stops
// at the first EOI, so every SOI after the first and every EOI before the first scan is taken
// out; a missing final EOI is added.
std::vector<uint8_t> cleanJpeg(const uint8_t* data, size_t size);

// True when every Huffman table (DHT) in the data, before and between scans, is well formed:
// a class 0-1, a slot 0-3, at most 256 codes, all inside its segment. The decoder we use
// (stb_image 2.27) writes past its tables for more codes, so other data is not decoded.
bool huffmanTablesAreSound(const uint8_t* data, size_t size);

}  // namespace swf
