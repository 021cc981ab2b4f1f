// The DLL entry hook: all state is static and starts at its initial values, so attach and
// detach have nothing to do.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
