// The PNG codec of tavikit.exe: the Windows Imaging Component, reached through COM, reading from
// and writing to memory. Indexed files are read in their own pixel format (the format converter
// cannot widen 1, 2 and 4-bit indices), others through the converter to 32-bit BGRA.
#include <wincodec.h>
#include <windows.h>

#include <cstdio>

#include "commands/cli.h"
#include "png/png_codec.h"

namespace tavitool {
namespace {

// Holds one reference to a COM object.
template <class T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_ != nullptr) p_->Release();
  }
  T** out() { return &p_; }
  T* get() const { return p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

// Refuses with `what` and the error's number when `hr` is a failure.
void Check(HRESULT hr, const std::string& what) {
  if (SUCCEEDED(hr)) return;
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(hr));
  Refuse(what + " (WIC error " + number + ")");
}

IWICImagingFactory* Factory() {
  static Com<IWICImagingFactory> factory;
  if (factory.get() == nullptr) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // once a thread; a repeat is harmless
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())),
          "cannot start the Windows Imaging Component");
  }
  return factory.get();
}

// The bits a pixel of an indexed format takes; 0 for other formats.
int IndexDepth(const WICPixelFormatGUID& format) {
  if (format == GUID_WICPixelFormat1bppIndexed) return 1;
  if (format == GUID_WICPixelFormat2bppIndexed) return 2;
  if (format == GUID_WICPixelFormat4bppIndexed) return 4;
  if (format == GUID_WICPixelFormat8bppIndexed) return 8;
  return 0;
}

void CopyRows(IWICBitmapSource* source, UINT rowBytes, UINT height, std::vector<uint8_t>& out,
              const std::string& damaged) {
  out.resize(static_cast<size_t>(rowBytes) * height);
  Check(source->CopyPixels(nullptr, rowBytes, static_cast<UINT>(out.size()), out.data()), damaged);
}

void ReadPalette(IWICBitmapFrameDecode* frame, PngPicture& png, const std::string& damaged) {
  Com<IWICPalette> palette;
  Check(Factory()->CreatePalette(palette.out()), damaged);
  Check(frame->CopyPalette(palette.get()), damaged);
  WICColor colours[256] = {};
  UINT count = 0;
  Check(palette->GetColors(256, colours, &count), damaged);
  png.image.paletteSize = static_cast<int32_t>(count);
  png.opacity.fill(255);
  for (UINT i = 0; i < count; ++i) {  // WICColor: alpha, red, green, blue from the top byte
    png.image.palette[i * 4 + 0] = static_cast<uint8_t>(colours[i]);
    png.image.palette[i * 4 + 1] = static_cast<uint8_t>(colours[i] >> 8);
    png.image.palette[i * 4 + 2] = static_cast<uint8_t>(colours[i] >> 16);
    png.opacity[i] = static_cast<uint8_t>(colours[i] >> 24);
  }
}

}  // namespace

int DecodePngPixels(const std::string& path, const std::vector<uint8_t>& bytes, PngPicture& png,
                    std::vector<uint8_t>& rows) {
  const std::string damaged = path + ": damaged PNG";
  IWICImagingFactory* factory = Factory();
  Com<IWICStream> stream;
  Check(factory->CreateStream(stream.out()), damaged);
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size())),
        damaged);
  Com<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                         decoder.out()),
        damaged);
  Com<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, frame.out()), damaged);
  const auto width = static_cast<UINT>(png.image.width);
  const auto height = static_cast<UINT>(png.image.height);
  if (!png.indexed) {
    Com<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.out()), damaged);
    Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom),
          damaged);
    CopyRows(converter.get(), width * 4, height, png.rgba, damaged);
    for (size_t i = 0; i < png.rgba.size(); i += 4)
      std::swap(png.rgba[i], png.rgba[i + 2]);  // blue, green, red, alpha to red first
    return 8;
  }
  WICPixelFormatGUID format{};
  Check(frame->GetPixelFormat(&format), damaged);
  const int depth = IndexDepth(format);
  if (depth == 0) Refuse(damaged + " (an indexed file of an unknown pixel format)");
  CopyRows(frame.get(), (width * static_cast<UINT>(depth) + 7) / 8, height, rows, damaged);
  ReadPalette(frame.get(), png, damaged);
  return depth;
}

std::vector<uint8_t> EncodeIndexedPng(const IndexedImage& image) {
  const std::string failed = "cannot encode the PNG";
  IWICImagingFactory* factory = Factory();
  Com<IStream> memory;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, memory.out()), failed);
  Com<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()), failed);
  Check(encoder->Initialize(memory.get(), WICBitmapEncoderNoCache), failed);
  Com<IWICBitmapFrameEncode> frame;
  Com<IPropertyBag2> options;
  Check(encoder->CreateNewFrame(frame.out(), options.out()), failed);
  Check(frame->Initialize(options.get()), failed);
  const auto width = static_cast<UINT>(image.width);
  const auto height = static_cast<UINT>(image.height);
  Check(frame->SetSize(width, height), failed);
  WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
  Check(frame->SetPixelFormat(&format), failed);
  if (format != GUID_WICPixelFormat8bppIndexed) Refuse(failed + " (no 8-bit indexed format)");
  const UINT count = image.paletteSize < 1 ? 256 : static_cast<UINT>(image.paletteSize);
  WICColor colours[256] = {};
  for (UINT i = 0; i < count; ++i) {
    colours[i] = 0xFF000000U | uint32_t{image.palette[i * 4 + 2]} << 16 |
                 uint32_t{image.palette[i * 4 + 1]} << 8 | image.palette[i * 4 + 0];
  }
  Com<IWICPalette> palette;
  Check(factory->CreatePalette(palette.out()), failed);
  Check(palette->InitializeCustom(colours, count), failed);
  Check(frame->SetPalette(palette.get()), failed);
  Check(frame->WritePixels(height, width, static_cast<UINT>(image.pixels.size()),
                           const_cast<BYTE*>(image.pixels.data())),
        failed);
  Check(frame->Commit(), failed);
  Check(encoder->Commit(), failed);
  STATSTG stat{};
  Check(memory->Stat(&stat, STATFLAG_NONAME), failed);
  HGLOBAL global = nullptr;
  Check(GetHGlobalFromStream(memory.get(), &global), failed);
  const auto* data = static_cast<const uint8_t*>(GlobalLock(global));
  if (data == nullptr) Refuse(failed + " (the encoded bytes cannot be read)");
  std::vector<uint8_t> bytes(data, data + stat.cbSize.QuadPart);
  GlobalUnlock(global);
  return bytes;
}

}  // namespace tavitool
