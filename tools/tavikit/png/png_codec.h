// The PNG codec of the platform, both directions: libspng on Linux (png_codec_spng.cpp), the
// Windows Imaging Component in tavikit.exe (png_codec_wic.cpp); each backend defines both
// functions. png_io.cpp checks a file's signature, header, size and end before it hands the bytes
// to the decoder, and unpacks indices itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "png/indexed_image.h"

namespace tavitool {

// Decodes the PNG `bytes` called `name` into `png`, whose `indexed`, width and height are set.
// Indexed files: the palette and the opacity of its entries into `png`, and the rows as stored,
// (width * depth + 7) / 8 bytes each, into `rows`; returns the depth (1, 2, 4 or 8). Other
// files: 4 bytes a pixel into png.rgba; returns 8. Refuses with `name` and the reason.
int DecodePngPixels(const std::string& name, const std::vector<uint8_t>& bytes, PngPicture& png,
                    std::vector<uint8_t>& rows);

// The bytes of an 8-bit indexed PNG with the image's `paletteSize` palette entries (256 when it
// is below 1). Refuses with the reason.
std::vector<uint8_t> EncodeIndexedPng(const IndexedImage& image);

}  // namespace tavitool
