// Names of stored objects as the commands take them: FILE, FILE#N (picture N of an archive),
// FILE,OFFSET (a pack inside a larger file) and FILE[,OFFSET]#NAME[#N] (an entry of a pack).
// The suffixes are read from the right, and only while the text so far names no file, so a file
// called "pic#1.tk" is read as itself when it exists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/picture_info.h"

namespace tavitool {

struct Source {
  std::string path;         // the file on disk
  int64_t packOffset = -1;  // from ",OFFSET"; -1 when not given
  std::string entry;        // from "#NAME": an entry of the pack
  int64_t index = -1;       // from "#N": a picture of an archive
  std::vector<uint8_t> file;
  size_t packBase = 0;  // where the pack starts, when there is one

  bool InPack() const { return packOffset >= 0 || !entry.empty(); }
  // The pack text the library opens: "path,base", the path as NameForLibrary gives it.
  std::string PackText() const;
};

// Parses `text` and reads the file; with a pack named, finds the pack (at OFFSET, else where
// FindPack finds it). Refuses a missing file or pack with a message.
Source OpenSource(const std::string& text);

// When no pack was named, looks for one in the file (at 0, or appended to it) and takes it;
// true when the source names a pack afterwards.
bool AdoptPack(Source& source);

// The bytes of the object named: the pack entry, else the whole file.
Bytes ObjectBytes(const Source& source);
// The bytes of the entry `name` of the source's pack; refuses when it holds none.
Bytes EntryBytes(const Source& source, const std::string& name);

}  // namespace tavitool
