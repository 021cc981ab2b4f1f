// PNG files through libspng.
#include <spng.h>

#include <cstdio>
#include <memory>

#include "indexed_image.h"

namespace tavitool {
namespace {

struct CtxFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Ctx = std::unique_ptr<spng_ctx, CtxFree>;

struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

bool Fail(std::string& error, const std::string& path, const std::string& why) {
  error = path + ": " + why;
  return false;
}

}  // namespace

bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return Fail(error, path, "cannot open");
  Ctx ctx(spng_ctx_new(0));
  if (!ctx) return Fail(error, path, "out of memory");
  spng_set_image_limits(ctx.get(), 1 << 16, 1 << 16);
  spng_set_png_file(ctx.get(), file.get());
  spng_ihdr ihdr{};
  if (int rc = spng_get_ihdr(ctx.get(), &ihdr)) return Fail(error, path, spng_strerror(rc));
  if (ihdr.color_type != SPNG_COLOR_TYPE_INDEXED) {
    return Fail(error, path, "not an indexed-colour PNG");
  }
  spng_plte plte{};
  if (int rc = spng_get_plte(ctx.get(), &plte)) return Fail(error, path, spng_strerror(rc));
  size_t size = 0;
  if (int rc = spng_decoded_image_size(ctx.get(), SPNG_FMT_RAW, &size)) {
    return Fail(error, path, spng_strerror(rc));
  }
  std::vector<uint8_t> raw(size);
  if (int rc = spng_decode_image(ctx.get(), raw.data(), raw.size(), SPNG_FMT_RAW, 0)) {
    return Fail(error, path, spng_strerror(rc));
  }
  image.width = static_cast<int32_t>(ihdr.width);
  image.height = static_cast<int32_t>(ihdr.height);
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  // Rows of packed indices, most significant bits first at depths below 8.
  const int depth = ihdr.bit_depth;
  const size_t rowBytes = (static_cast<size_t>(image.width) * depth + 7) / 8;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = raw.data() + rowBytes * y;
    for (int32_t x = 0; x < image.width; ++x) {
      const size_t bit = static_cast<size_t>(x) * depth;
      const int shift = 8 - depth - static_cast<int>(bit % 8);
      image.at(x, y) = static_cast<uint8_t>((row[bit / 8] >> shift) & ((1 << depth) - 1));
    }
  }
  image.palette.fill(0);
  image.paletteSize = static_cast<int32_t>(plte.n_entries);
  for (uint32_t i = 0; i < plte.n_entries; ++i) {
    image.palette[i * 4 + 0] = plte.entries[i].blue;
    image.palette[i * 4 + 1] = plte.entries[i].green;
    image.palette[i * 4 + 2] = plte.entries[i].red;
  }
  return true;
}

bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error) {
  Ctx ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) return Fail(error, path, "out of memory");
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return Fail(error, path, "cannot create");
  spng_set_png_file(ctx.get(), file.get());
  spng_ihdr ihdr{};
  ihdr.width = static_cast<uint32_t>(image.width);
  ihdr.height = static_cast<uint32_t>(image.height);
  ihdr.bit_depth = 8;
  ihdr.color_type = SPNG_COLOR_TYPE_INDEXED;
  spng_set_ihdr(ctx.get(), &ihdr);
  spng_plte plte{};
  plte.n_entries = static_cast<uint32_t>(image.paletteSize < 1 ? 256 : image.paletteSize);
  for (uint32_t i = 0; i < plte.n_entries; ++i) {
    plte.entries[i].blue = image.palette[i * 4 + 0];
    plte.entries[i].green = image.palette[i * 4 + 1];
    plte.entries[i].red = image.palette[i * 4 + 2];
  }
  spng_set_plte(ctx.get(), &plte);
  if (int rc = spng_encode_image(ctx.get(), image.pixels.data(), image.pixels.size(), SPNG_FMT_PNG,
                                 SPNG_ENCODE_FINALIZE)) {
    return Fail(error, path, spng_strerror(rc));
  }
  return true;
}

}  // namespace tavitool
