// A control whose self-registration exports return at once: what remains of a
// registration's time is the tool's own.
#include <windows.h>

extern "C" HRESULT __stdcall DllRegisterServer() { return S_OK; }
extern "C" HRESULT __stdcall DllUnregisterServer() { return S_OK; }
