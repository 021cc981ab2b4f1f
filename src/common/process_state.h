// The one process-wide instance of a subsystem's state, behind its exports: built on first use and
// never destroyed, so that nothing runs at process exit (the host may end the process or unload
// the library at any point). Tests make their own instances instead.
#pragma once

#include <new>

namespace tavikit {

template <class State>
State& ProcessInstance() {
  alignas(State) static unsigned char storage[sizeof(State)];
  static State* const instance = new (storage) State();
  return *instance;
}

}  // namespace tavikit
