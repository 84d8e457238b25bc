#pragma once
// Processes, threads and modules: libraries loaded and their exports called,
// the worker thread and its crash record, other programs started, COM and
// type libraries, the process's environment. One virtual per Windows
// function, with the same arguments and results.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemTypes.h"

namespace ravlin {

// A thread procedure of the program's own; its result becomes the thread's exit code.
using ThreadProc = uint32_t (*)(void* parameter);

// What the program's crash filter kept of a fault that ended a thread.
struct CrashRecord {
  uint32_t code = 0;        // the exception code, the thread's exit code too
  uint64_t address = 0;     // where it happened
  std::string module;       // file name of the module holding that address; "" if none
  uint64_t offset = 0;      // the address less that module's base
};

// What CreateProcessA gives back.
struct ProcessInformation {
  Handle process = nullptr;
  Handle thread = nullptr;
  uint32_t processId = 0;
  uint32_t threadId = 0;
};

// What a type library says of itself and its coclasses, as ITypeLib and
// ITypeInfo give it: GUIDs in registry form "{...}", names as written.
struct TypeLibraryClassAttributes {
  std::string clsid;
  std::string name;
  uint16_t typeFlags = 0;  // TYPEATTR::wTypeFlags
};
struct TypeLibraryAttributes {
  std::string libid;
  std::string name;  // the library's own name, "IWshRuntimeLibrary"
  uint16_t majorVersion = 0;
  uint16_t minorVersion = 0;
  uint16_t flags = 0;  // TLIBATTR::wLibFlags
  std::vector<TypeLibraryClassAttributes> classes;
};

constexpr uint16_t kTypeFlagCanCreate = 0x2;
constexpr uint16_t kTypeFlagControl = 0x20;
constexpr uint16_t kLibFlagRestricted = 0x1;
constexpr uint16_t kLibFlagControl = 0x2;
constexpr uint16_t kLibFlagHidden = 0x4;
constexpr uint16_t kLibFlagHasDiskImage = 0x8;

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
constexpr uint32_t kLoadLibraryAsDatafile = 0x2;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorDllInitFailed = 1114;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kCreateNoWindow = 0x08000000;
constexpr uint32_t kProcessQueryLimitedInformation = 0x1000;
// The exit code of a capture's copy stopped because something in it started
// another program; no HRESULT or exception code has it.
constexpr uint32_t kStoppedStartingAProgram = 0xE0A70001;
// MAKEINTRESOURCE: a resource named by a number.
inline const char* IntResource(uint16_t id) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(id)); }
constexpr uint16_t kResourceManifest = 24;  // RT_MANIFEST

class ProcessPlatform {
 public:
  virtual ~ProcessPlatform() = default;

  virtual void GetNativeSystemInfo(SystemInfo* systemInfo) = 0;
  virtual Module LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) = 0;
  virtual Proc GetProcAddress(Module module, const char* procName) = 0;
  virtual int32_t FreeLibrary(Module module) = 0;
  // The program's own file when module is null.
  virtual uint32_t GetModuleFileNameA(Module module, char* fileName, uint32_t size) = 0;
  // Non-null when the module (loaded as data) holds a resource of that name and type.
  virtual Handle FindResourceA(Module module, const char* name, const char* type) = 0;
  // GetModuleHandleA of a module already in the process, then GetProcAddress;
  // null when either is missing. Nothing is loaded.
  virtual Proc GetLoadedModuleExport(const char* moduleName, const char* procName) = 0;

  virtual Handle CreateThread(void* threadAttributes, size_t stackSize, ThreadProc startAddress,
                              void* parameter, uint32_t creationFlags, uint32_t* threadId) = 0;
  // Calls a self-registration export (no arguments, an HRESULT back) in the
  // platform's own calling convention.
  virtual int32_t CallExport(Proc entryPoint) = 0;
  virtual int32_t OleInitialize(void* reserved) = 0;
  virtual void OleUninitialize() = 0;
  // SetUnhandledExceptionFilter with the program's own filter: a fault on any
  // thread but the calling one ends that thread with the exception code, and
  // is kept for TakeCrashRecord. A control may replace the filter, so it is set
  // again before each run.
  virtual void InstallCrashFilter() = 0;
  // The kept fault of the thread with this identifier, forgotten once taken; 0 if none.
  virtual int32_t TakeCrashRecord(uint32_t threadId, CrashRecord* record) = 0;
  virtual uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) = 0;
  virtual int32_t GetExitCodeThread(Handle thread, uint32_t* exitCode) = 0;

  // Another program: no inherited handles, no environment or folder of its own,
  // default start-up settings; only the flags vary.
  virtual int32_t CreateProcessA(const char* applicationName, char* commandLine,
                                 uint32_t creationFlags, ProcessInformation* information) = 0;
  // CreateProcessA into a new job object (*job, closed by the caller) that
  // ends every process in it when its last handle closes, so also when this
  // program ends. It allows one process: the moment a second one is started
  // inside it, both are ended, the first with kStoppedStartingAProgram.
  virtual int32_t CreateProcessInJobA(const char* applicationName, char* commandLine, uint32_t creationFlags,
                                      ProcessInformation* information, Handle* job) = 0;
  // A program tried after its controls were set up: started as CreateProcessA
  // starts one (no flags), with its own folder as its current directory.
  virtual int32_t CreateProcessInDirectoryA(const char* applicationName, char* commandLine,
                                            const char* currentDirectory, ProcessInformation* information) = 0;
  // Null when there is no such process or it cannot be opened.
  virtual Handle OpenProcess(uint32_t desiredAccess, int32_t inheritHandle, uint32_t processId) = 0;
  virtual uint32_t GetCurrentProcessId() = 0;
  virtual int32_t GetExitCodeProcess(Handle process, uint32_t* exitCode) = 0;
  virtual int32_t TerminateProcess(Handle process, uint32_t exitCode) = 0;
  virtual uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) = 0;
  virtual uint32_t ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) = 0;

  // A new GUID in registry form, "{...}"; an HRESULT.
  virtual int32_t CoCreateGuid(std::string* guid) = 0;
  // LoadTypeLibEx(fileName, REGKIND_NONE), so nothing is registered, then the
  // library's attributes and its coclasses' into *attributes. An HRESULT.
  virtual int32_t LoadTypeLibraryA(const char* fileName, TypeLibraryAttributes* attributes) = 0;
  // LoadTypeLibEx(fileName, REGKIND_REGISTER): the system registers the type library. An HRESULT.
  virtual int32_t RegisterTypeLibraryA(const char* fileName) = 0;
  // UnRegisterTypeLib of the library the file holds, by its own identity and version. An HRESULT.
  virtual int32_t UnRegisterTypeLibraryA(const char* fileName) = 0;
  // The shell library's administrator test (its export with ordinal 680).
  virtual int32_t IsUserAnAdmin() = 0;
};

}  // namespace ravlin
