// Cells loaded from a file of arbitrary bytes (as a picture and as an archive) over a background
// cell, then drawn, compressed, drawn again and captured at cursors reaching past the screen.
#include <cstdint>
#include <memory>
#include <vector>

#include "cells/cell_draw.h"
#include "cells/cell_load.h"
#include "cells/run_length.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Four leading bytes: archive index (-2 to 253), cursor x and y (-128 to 127), and a byte whose
  // bits choose the background (none, plain or compressed) and the capture size.
  if (size < 4) return 0;
  tavifuzz::WriteScratch(data + 4, size - 4);
  const char* name = tavifuzz::ScratchPath().c_str();
  const int32_t index = static_cast<int32_t>(data[0]) - 2;
  const int32_t cx = static_cast<int32_t>(data[1]) - 128;
  const int32_t cy = static_cast<int32_t>(data[2]) - 128;
  const uint8_t flags = data[3];

  auto cells = std::make_unique<tavikit::CellState>();
  cells->byteLimit = 1 << 18;  // larger pictures only cost time: they are refused the same way
  tavikit::PackState pack;
  tavikit::Screen screen;
  screen.width = 37;  // not a multiple of 4: rows end inside a word
  screen.height = 23;
  std::vector<uint8_t> pixels(static_cast<size_t>(screen.width) * screen.height);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<uint8_t>(i * 7);
  screen.pixels = pixels.data();

  // Background cell 1.
  const int32_t background = (flags & 3) == 0 ? -1 : 1;
  screen.cursorX = cx / 4;
  screen.cursorY = cy / 4;
  tavikit::CaptureCell(*cells, screen, 1, 4 + (flags >> 4), 1 + (flags >> 5));
  if ((flags & 3) == 2) tavikit::CompressCell(cells->cells[1]);

  tavikit::LoadCellPicture(*cells, pack, 2, name, background, nullptr);
  tavikit::LoadCellArchivePicture(*cells, pack, 3, name, index, background);

  screen.cursorX = cx;
  screen.cursorY = cy;
  tavikit::SetCellClip(*cells, cx / 2, cy / 2, 30, 20);
  for (int32_t n : {2, 3}) {
    tavikit::PutCell(*cells, screen, n, 0);
    tavikit::PutCell(*cells, screen, n, 1);
    tavikit::PutCellMasked(*cells, screen, n, flags);
    tavikit::CopyCell(*cells, n, 1);
    tavikit::CopyCell(*cells, 1, n);
    tavikit::CompressCell(cells->cells[n]);
    tavikit::PutCell(*cells, screen, n, 0);
    tavikit::CopyCell(*cells, n, 1);
  }
  tavikit::CaptureCell(*cells, screen, 4, 9 + flags % 50, 2 + flags % 30);
  // Full-colour cells go with full-colour screens, the same size in pixels.
  std::vector<uint8_t> colour(pixels.size() * 3, 0x55);
  screen.pixels = colour.data();
  tavikit::CaptureColourCell(*cells, screen, 5, 3 + flags % 9, 1 + flags % 7);
  screen.cursorX = cy;
  screen.cursorY = cx;
  tavikit::PutCell(*cells, screen, 5, 0);
  return 0;
}
