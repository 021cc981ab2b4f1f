// What list and info report about a file, as a table that prints as text or JSON.
#pragma once

#include <string>
#include <vector>

#include "inspect/source.h"

namespace tavitool {

struct Listing {
  std::string file;
  std::string kind;     // "pack", "archive", "sound bank", "picture", "wave" or "data"
  std::string summary;  // e.g. "DPMX pack at 300, 2 entries"
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  std::string problem;  // the first fault found, "" for none
  double ratio = 0;     // pictures: bytes stored over pixels drawn; 0 for other kinds
  int64_t records = 0;  // entries, pictures, waves, or a picture's escape records
};

// Lists the pack the source names, else the archive, bank, picture or wave the file holds.
Listing ListObject(const Source& source);

// Prints the listing as a table under its summary, or as one JSON object.
void PrintListing(const Listing& listing, bool json);

// Text as a JSON string, quoted.
std::string JsonText(const std::string& text);

}  // namespace tavitool
