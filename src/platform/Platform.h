#pragma once
// The Windows functions the form calls, one virtual each, with the same
// arguments and results, so a fake can give every answer Windows can.
#include <cstddef>
#include <cstdint>

namespace ravlin {

using Handle = void*;
using Module = void*;
using Hwnd = void*;
using Proc = void (*)();  // an export's address, as GetProcAddress gives it

// The leading fields of SYSTEM_INFO; only the architecture is read.
struct SystemInfo {
  uint16_t wProcessorArchitecture = 0;
  uint16_t wReserved = 0;
  uint32_t dwPageSize = 0;
};

constexpr uint16_t kArchitectureIntel = 0;
constexpr uint16_t kArchitectureArm = 5;
constexpr uint16_t kArchitectureIa64 = 6;
constexpr uint16_t kArchitectureAmd64 = 9;
constexpr uint16_t kArchitectureArm64 = 12;
constexpr uint16_t kArchitectureUnknown = 0xFFFF;

constexpr uint32_t kWaitObject0 = 0;
constexpr uint32_t kWaitTimeout = 0x102;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;
constexpr uint32_t kStillActive = 259;
constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFormatMessageIgnoreInserts = 0x200;
constexpr uint32_t kFormatMessageFromSystem = 0x1000;
constexpr int kSwShowNormal = 1;
constexpr uint32_t kCpAcp = 0;

class Platform {
 public:
  virtual ~Platform() = default;

  virtual void GetNativeSystemInfo(SystemInfo* systemInfo) = 0;
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetFullPathNameA(const char* fileName, uint32_t bufferLength,
                                    char* buffer, char** filePart) = 0;
  virtual uint32_t GetFileAttributesA(const char* fileName) = 0;

  virtual Module LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) = 0;
  virtual Proc GetProcAddress(Module module, const char* procName) = 0;
  // The thread runs startAddress, an export taking no arguments; its result
  // becomes the thread's exit code.
  virtual Handle CreateThread(void* threadAttributes, size_t stackSize, Proc startAddress,
                              void* parameter, uint32_t creationFlags, uint32_t* threadId) = 0;
  virtual uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) = 0;
  virtual int32_t GetExitCodeThread(Handle thread, uint32_t* exitCode) = 0;
  virtual int32_t CloseHandle(Handle object) = 0;
  virtual int32_t FreeLibrary(Module module) = 0;
  virtual uint32_t FormatMessageA(uint32_t flags, const void* source, uint32_t messageId,
                                  uint32_t languageId, char* buffer, uint32_t size,
                                  void* arguments) = 0;

  virtual uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle) = 0;
  virtual int32_t GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t length,
                                      void* data) = 0;
  // Version texts stored in 16-bit characters become ANSI text through this.
  virtual int32_t WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wideText,
                                      int32_t wideLength, char* multiByteText,
                                      int32_t multiByteLength, const char* defaultChar,
                                      int32_t* usedDefaultChar) = 0;

  // The shell library's administrator test (its export with ordinal 680).
  virtual int32_t IsUserAnAdmin() = 0;
  virtual intptr_t ShellExecuteA(Hwnd owner, const char* operation, const char* file,
                                 const char* parameters, const char* directory,
                                 int showCommand) = 0;
};

}  // namespace ravlin
