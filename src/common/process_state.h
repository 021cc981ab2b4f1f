// The one process-wide instance of a subsystem's state, behind its exports: built on first use and
// never destroyed, so that nothing runs at process exit (the host may end the process or unload
// the library at any point). Tests make their own instances instead.
//
// The state lives in a zero-filled static of the one function that owns it (`ProcessBlend` and
// the like), not in a static of this template: a template's statics are shared-definition data,
// which the Windows linker keeps as initialised bytes in the DLL's file, while the owner's static
// is plain zero-initialised storage that takes no room there.
#pragma once

#include <new>

namespace tavikit {

template <class State>
struct ProcessStorage {
  alignas(State) unsigned char bytes[sizeof(State)];
};

template <class State>
State& ProcessInstance(ProcessStorage<State>& storage) {
  static State* const instance = new (storage.bytes) State();
  return *instance;
}

}  // namespace tavikit
