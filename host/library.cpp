#include "host/library.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tavihost {
namespace {

const char* LibraryPath() {
  if (const char* path = std::getenv("TAVIKIT_LIBRARY")) return path;
#if defined(_WIN64)
  return "Tavikit64.DLL";
#elif defined(_WIN32)
  return "Tavikit.DLL";
#else
  return TAVIHOST_DEFAULT_LIBRARY;
#endif
}

void* Open(const char* path) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(LoadLibraryA(path));
#else
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
}

tavi_export_fn Resolve(void* handle, const char* name) {
#if defined(_WIN32)
  // Tavikit.DLL exports the decorated name only; Tavikit64.DLL the plain one too, which a C host
  // uses (the Windows tests check that both lead to one entry point).
#if defined(_WIN64)
  const std::string decorated = name;
#else
  const std::string decorated = std::string("_") + name + "@16";
#endif
  // Through void (*)(), the type that converts to and from every function pointer type.
  const FARPROC proc = GetProcAddress(reinterpret_cast<HMODULE>(handle), decorated.c_str());
  return reinterpret_cast<tavi_export_fn>(reinterpret_cast<void (*)()>(proc));
#else
  return reinterpret_cast<tavi_export_fn>(dlsym(handle, name));
#endif
}

Library Load() {
  Library lib;
  lib.handle = Open(LibraryPath());
  if (lib.handle == nullptr) {
    lib.error = std::string("cannot load ") + LibraryPath();
    return lib;
  }
#define TAVIHOST_RESOLVE(name)           \
  lib.name = Resolve(lib.handle, #name); \
  if (lib.name == nullptr) lib.error += std::string(" missing: ") + #name;
#define TAVIHOST_RESOLVE_ALIAS(name, entry) TAVIHOST_RESOLVE(name)
  TAVIKIT_EXPORTS(TAVIHOST_RESOLVE, TAVIHOST_RESOLVE_ALIAS)
#undef TAVIHOST_RESOLVE_ALIAS
#undef TAVIHOST_RESOLVE
  return lib;
}

}  // namespace

const Library& Tavikit() {
  static const Library lib = Load();
  return lib;
}

tavi_export_fn FindExport(const Library& lib, const char* name) {
  return lib.handle == nullptr ? nullptr : Resolve(lib.handle, name);
}

}  // namespace tavihost
