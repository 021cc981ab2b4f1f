// The library as a host reaches it: loaded by name at run time, every export resolved by the
// name the host uses (plain on ELF and in Tavikit64.DLL, _name@16 in Tavikit.DLL).
#pragma once

#include <string>

#include "tavikit.h"

namespace tavihost {

struct Library {
#define TAVIHOST_MEMBER(name) tavi_export_fn name = nullptr;
#define TAVIHOST_ALIAS_MEMBER(name, entry) TAVIHOST_MEMBER(name)
  TAVIKIT_EXPORTS(TAVIHOST_MEMBER, TAVIHOST_ALIAS_MEMBER)
#undef TAVIHOST_ALIAS_MEMBER
#undef TAVIHOST_MEMBER

  void* handle = nullptr;
  std::string error;  // empty when every export was found
};

// Loads the library once per process (path from the TAVIKIT_LIBRARY environment variable, else
// the one the test was built against) and resolves every export in the table.
const Library& Tavikit();

// Resolves one export by its plain name, or returns null.
tavi_export_fn FindExport(const Library& lib, const char* name);

}  // namespace tavihost
