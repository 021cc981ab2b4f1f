// Tavikit.DLL's own versions of the few C++ runtime error paths that its code reaches, linked
// before the static runtime so that the runtime's versions stay out of the DLL: theirs build
// message strings and print demangled names, which brings the runtime's formatting, locale and
// string code along (about 200 KB). What the library needs of them is only that they throw, so
// that an export's guard turns the failure into its result.
#include <cstdlib>
#include <new>

namespace tavikit {
namespace {

// Thrown for a misuse the library never commits (a string from a null pointer, an empty function
// called); an export's guard turns it into the export's failure result.
struct RuntimeMisuse {};

}  // namespace
}  // namespace tavikit

// NOLINTBEGIN(bugprone-reserved-identifier, cert-dcl58-cpp)
namespace std {

// A container asked for more than memory can hold: the same outcome as a failed allocation.
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_length_error(const char*) { throw std::bad_alloc(); }
void __throw_logic_error(const char*) { throw tavikit::RuntimeMisuse(); }
void __throw_bad_function_call() { throw tavikit::RuntimeMisuse(); }

}  // namespace std

namespace __gnu_cxx {

// An exception escaping a body the guards do not cover ends the process without a message.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
// NOLINTEND(bugprone-reserved-identifier, cert-dcl58-cpp)
