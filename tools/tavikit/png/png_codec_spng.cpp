// The PNG codec on Linux: libspng, reading from memory.
#include <spng.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "commands/cli.h"
#include "png/png_codec.h"

namespace tavitool {
namespace {

struct CtxFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Ctx = std::unique_ptr<spng_ctx, CtxFree>;

void Decode(const std::string& path, spng_ctx* ctx, spng_format format, int flags,
            std::vector<uint8_t>& out) {
  size_t size = 0;
  int rc = spng_decoded_image_size(ctx, format, &size);
  if (rc == 0) {
    out.resize(size);
    rc = spng_decode_image(ctx, out.data(), out.size(), format, flags);
  }
  if (rc == SPNG_EIO || rc == SPNG_EOF)
    Refuse(path + ": truncated PNG (it ends inside its pixels)");
  if (rc != 0) Refuse(path + ": damaged PNG (" + spng_strerror(rc) + ")");
}

void ReadPaletteChunks(spng_ctx* ctx, const std::string& path, PngPicture& png) {
  spng_plte plte{};
  if (int rc = spng_get_plte(ctx, &plte))
    Refuse(path + ": damaged PNG (" + spng_strerror(rc) + ")");
  png.image.paletteSize = static_cast<int32_t>(plte.n_entries);
  for (uint32_t i = 0; i < plte.n_entries; ++i) {
    png.image.palette[i * 4 + 0] = plte.entries[i].blue;
    png.image.palette[i * 4 + 1] = plte.entries[i].green;
    png.image.palette[i * 4 + 2] = plte.entries[i].red;
  }
  png.opacity.fill(255);
  spng_trns trns{};
  if (spng_get_trns(ctx, &trns) == 0) {
    for (uint32_t i = 0; i < trns.n_type3_entries && i < 256; ++i)
      png.opacity[i] = trns.type3_alpha[i];
  }
}

}  // namespace

int DecodePngPixels(const std::string& path, const std::vector<uint8_t>& bytes, PngPicture& png,
                    std::vector<uint8_t>& rows) {
  Ctx ctx(spng_ctx_new(0));
  if (!ctx) throw std::bad_alloc();
  spng_set_image_limits(ctx.get(), INT32_MAX, INT32_MAX);
  spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
  spng_ihdr ihdr{};
  if (int rc = spng_get_ihdr(ctx.get(), &ihdr)) {
    Refuse(path + ": " + (rc == SPNG_EOF ? "truncated PNG" : "damaged PNG") + " (" +
           spng_strerror(rc) + ")");
  }
  if (!png.indexed) {
    Decode(path, ctx.get(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS, png.rgba);
    return 8;
  }
  Decode(path, ctx.get(), SPNG_FMT_RAW, 0, rows);
  ReadPaletteChunks(ctx.get(), path, png);
  return ihdr.bit_depth;
}

std::vector<uint8_t> EncodeIndexedPng(const IndexedImage& image) {
  Ctx ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) throw std::bad_alloc();
  spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
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
    Refuse(std::string("cannot encode the PNG (") + spng_strerror(rc) + ")");
  }
  size_t size = 0;
  int error = 0;
  std::unique_ptr<void, decltype(&std::free)> buffer(spng_get_png_buffer(ctx.get(), &size, &error),
                                                     &std::free);
  if (!buffer) Refuse(std::string("cannot encode the PNG (") + spng_strerror(error) + ")");
  const auto* data = static_cast<const uint8_t*>(buffer.get());
  return {data, data + size};
}

}  // namespace tavitool
