// Loading pictures and pictures of an archive ("TAvi", a count, then the byte position of each
// picture from the start of the archive) into a screen, through the pack reader.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "common/file.h"
#include "common/screen.h"
#include "pack/pack_reader.h"

namespace tavikit {

// Opens the pack text `packText` (its result is ignored), then draws the picture `name` at the
// screen's cursor. Returns 0 (drawn, not a picture, missing file) or -100 (no memory).
int32_t LoadPicture(PackState& state, const Screen& screen, const char* name, char* packText);

// The header fields of the picture that starts `offset` bytes into the file, or nothing when
// its first four bytes are not a picture's magic.
struct PictureHead {
  int32_t fileSize, width, height;
};
std::optional<PictureHead> ReadPictureHead(PackEntry& file, int32_t offset);

// What looking a picture up in an archive found.
enum class ArchiveLookup { kFound, kNotAnArchive, kBadIndex };

// The position of picture `index` of the archive in `file`: kFound with `offset` set,
// kNotAnArchive, or kBadIndex when the index lies outside 0 to count (an index equal to count
// is accepted). `count`, when given, gets the archive's count once the magic is accepted.
ArchiveLookup FindArchivePicture(PackEntry& file, int32_t index, int32_t& offset,
                                 int32_t* count = nullptr);

// Opens the pack text, then draws picture `index` of the archive `name` at the screen's cursor.
// Returns 0 (drawn, not an archive, not a picture), -1 (bad index) or -100 (no memory).
int32_t LoadArchivePicture(PackState& state, const Screen& screen, const char* name, int32_t index,
                           char* packText);

// Opens the pack text and returns minus the third magic byte of picture `index` of the archive
// `name` (-48 for run records, -49 for skip records), 0 when it is not an archive, -1 for a bad
// index.
int32_t ArchivePictureKind(PackState& state, const char* name, int32_t index, char* packText);

}  // namespace tavikit
