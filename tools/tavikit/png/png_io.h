// PNG files as the commands read and write them: checked before the platform's codec
// (png_codec.h) sees them, and written atomically.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "png/indexed_image.h"

namespace tavitool {

// Reads any PNG. Refuses (exit 1) with the file's name and the reason: not a PNG (naming the
// kind when its first bytes tell it), cut short, damaged, or larger than a picture may be;
// the size is checked before anything of that size is allocated.
PngPicture ReadPng(const std::string& path);
// The same for the bytes of a PNG called `name`.
PngPicture DecodePng(const std::string& name, const std::vector<uint8_t>& bytes);

// Reads a PNG that must be indexed-colour (bit depth 1 to 8).
IndexedImage ReadIndexedPng(const std::string& path);
// The same; false with the reason in `error`.
bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error);

// Writes an 8-bit indexed PNG atomically; false with the reason in `error`.
bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error);

}  // namespace tavitool
