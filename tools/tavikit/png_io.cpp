// PNG files through libspng, read from memory after the file's first bytes and its header have
// been checked by hand.
#include <spng.h>

#include <cstring>
#include <memory>

#include "cli.h"
#include "file_io.h"
#include "indexed_image.h"
#include "picture_info.h"

namespace tavitool {
namespace {

struct CtxFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Ctx = std::unique_ptr<spng_ctx, CtxFree>;

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kPngHeaderEnd = 8 + 8 + 13;  // signature, IHDR length and type, IHDR body

// What a file that is not a PNG starts with, as far as its first bytes tell.
std::string NotPngReason(const std::vector<uint8_t>& b) {
  auto starts = [&](const char* magic, size_t n) {
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
  };
  if (starts("\xFF\xD8\xFF", 3)) return "not a PNG file (starts with JPEG bytes)";
  if (starts("GIF8", 4)) return "not a PNG file (starts with GIF bytes)";
  if (starts("BM", 2)) return "not a PNG file (starts with BMP bytes)";
  if (starts("TK", 2)) return "not a PNG file (a tavikit picture)";
  return "not a PNG file";
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// Checks the signature and the header's size, then hands the bytes to libspng.
Ctx OpenPng(const std::string& path, const std::vector<uint8_t>& bytes, spng_ihdr& ihdr) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) {
    Refuse(path + ": " + NotPngReason(bytes));
  }
  if (bytes.size() < kPngHeaderEnd) Refuse(path + ": truncated PNG (cut short in its header)");
  const std::string size = SizeProblem(Be32(bytes, 16), Be32(bytes, 20));
  if (!size.empty()) Refuse(path + ": " + size);
  constexpr uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  if (std::memcmp(bytes.data() + bytes.size() - 12, kEnd, 12) != 0) {
    Refuse(path + ": truncated PNG (it does not end with an IEND chunk)");
  }
  Ctx ctx(spng_ctx_new(0));
  if (!ctx) throw std::bad_alloc();
  spng_set_image_limits(ctx.get(), INT32_MAX, INT32_MAX);
  spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
  if (int rc = spng_get_ihdr(ctx.get(), &ihdr)) {
    Refuse(path + ": " + (rc == SPNG_EOF ? "truncated PNG" : "damaged PNG") + " (" +
           spng_strerror(rc) + ")");
  }
  return ctx;
}

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

// Rows of packed indices, most significant bits first at depths below 8, to one byte a pixel.
void UnpackIndices(const std::vector<uint8_t>& raw, int depth, IndexedImage& image) {
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  const size_t rowBytes = (static_cast<size_t>(image.width) * depth + 7) / 8;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = raw.data() + rowBytes * y;
    for (int32_t x = 0; x < image.width; ++x) {
      const size_t bit = static_cast<size_t>(x) * depth;
      const int shift = 8 - depth - static_cast<int>(bit % 8);
      image.at(x, y) = static_cast<uint8_t>((row[bit / 8] >> shift) & ((1 << depth) - 1));
    }
  }
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

PngPicture ReadPng(const std::string& path) { return DecodePng(path, ReadInput(path)); }

PngPicture DecodePng(const std::string& path, const std::vector<uint8_t>& bytes) {
  spng_ihdr ihdr{};
  Ctx ctx = OpenPng(path, bytes, ihdr);
  PngPicture png;
  png.image.width = static_cast<int32_t>(ihdr.width);
  png.image.height = static_cast<int32_t>(ihdr.height);
  png.indexed = ihdr.color_type == SPNG_COLOR_TYPE_INDEXED;
  if (!png.indexed) {
    Decode(path, ctx.get(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS, png.rgba);
    return png;
  }
  std::vector<uint8_t> raw;
  Decode(path, ctx.get(), SPNG_FMT_RAW, 0, raw);
  UnpackIndices(raw, ihdr.bit_depth, png.image);
  ReadPaletteChunks(ctx.get(), path, png);
  return png;
}

IndexedImage ReadIndexedPng(const std::string& path) {
  PngPicture png = ReadPng(path);
  if (!png.indexed) {
    Refuse(path + ": not an indexed-colour PNG (give --palette GAME.png to map its colours)");
  }
  return std::move(png.image);
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

bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error) {
  return Try([&] { image = ReadIndexedPng(path); }, error);
}

bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error) {
  return Try([&] { WriteOutput(path, EncodeIndexedPng(image)); }, error);
}

}  // namespace tavitool
