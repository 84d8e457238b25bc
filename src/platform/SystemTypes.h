#pragma once
// The opaque values every part of the platform hands around, as Windows'
// own HANDLE, HMODULE and HWND are.
#include <cstdint>

namespace ravlin {

using Handle = void*;
using Module = void*;
using Hwnd = void*;
using Proc = void (*)();  // an export's address, as GetProcAddress gives it

inline Handle InvalidHandleValue() { return reinterpret_cast<Handle>(static_cast<intptr_t>(-1)); }
constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;

}  // namespace ravlin
