#pragma once
// The Windows functions the form calls, one virtual each, with the same
// arguments and results, so a fake can give every answer Windows can.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ravlin {

using Handle = void*;
using Module = void*;
using Hwnd = void*;
using Proc = void (*)();  // an export's address, as GetProcAddress gives it
// A thread procedure of the program's own; its result becomes the thread's exit code.
using ThreadProc = uint32_t (*)(void* parameter);
// EnumWindows' callback in the program's own calling convention: 0 stops the walk.
using EnumWindowsCallback = int32_t (*)(Hwnd window, intptr_t parameter);

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
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFormatMessageIgnoreInserts = 0x200;
constexpr uint32_t kFormatMessageFromSystem = 0x1000;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorDllInitFailed = 1114;
constexpr uint32_t kCreateNoWindow = 0x08000000;
constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kFileShareRead = 0x1;
constexpr uint32_t kFileShareWrite = 0x2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kMoveFileReplaceExisting = 1;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kLoadLibraryAsDatafile = 0x2;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorAlreadyExists = 183;
// MAKEINTRESOURCE: a resource named by a number.
inline const char* IntResource(uint16_t id) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(id)); }
constexpr uint16_t kResourceManifest = 24;  // RT_MANIFEST
constexpr uint32_t kFileBegin = 0;
constexpr int kSwShowNormal = 1;
inline Handle InvalidHandleValue() { return reinterpret_cast<Handle>(static_cast<intptr_t>(-1)); }
constexpr uint32_t kCpAcp = 0;

// Registry keys are opaque handles, as HKEY is; the predefined roots carry
// Windows' own (sign-extended) values.
using RegKey = void*;
inline RegKey HkeyClassesRoot() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN)); }
inline RegKey HkeyCurrentUser() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 1)); }
inline RegKey HkeyLocalMachine() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 2)); }
inline RegKey HkeyUsers() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 3)); }
constexpr uint32_t kRegCreatedNewKey = 1;
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyWow64_64Key = 0x0100;
constexpr uint32_t kKeyWow64_32Key = 0x0200;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorNoMoreItems = 259;

// What GetFileInformationByHandle tells apart: one file, whatever its names.
struct FileIndex {
  uint32_t volumeSerialNumber = 0;
  uint64_t fileIndex = 0;
  bool operator==(const FileIndex& other) const {
    return volumeSerialNumber == other.volumeSerialNumber && fileIndex == other.fileIndex;
  }
};

constexpr uint32_t kProcessQueryLimitedInformation = 0x1000;
constexpr uint32_t kErrorInvalidParameter = 87;
// The exit code of a capture's copy stopped because something in it started
// another program; no HRESULT or exception code has it.
constexpr uint32_t kStoppedStartingAProgram = 0xE0A70001;

// What GetFileAttributesExA tells of a file.
struct FileAttributeData {
  uint32_t attributes = 0;
  uint64_t size = 0;
  uint64_t lastWriteTime = 0;  // FILETIME, as one number
};

// What FindFirstFileA and FindNextFileA tell of one entry of a folder.
struct FindData {
  uint32_t attributes = 0;
  uint64_t size = 0;
  std::string name;  // the entry's own name, without its folder
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual void GetNativeSystemInfo(SystemInfo* systemInfo) = 0;
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetFullPathNameA(const char* fileName, uint32_t bufferLength,
                                    char* buffer, char** filePart) = 0;
  virtual uint32_t GetFileAttributesA(const char* fileName) = 0;
  virtual int32_t GetFileAttributesExA(const char* fileName, FileAttributeData* data) = 0;

  virtual Module LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) = 0;
  virtual uint32_t GetLastError() = 0;
  virtual Proc GetProcAddress(Module module, const char* procName) = 0;
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
  virtual int32_t CloseHandle(Handle object) = 0;

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
  // Null when there is no such process or it cannot be opened.
  virtual Handle OpenProcess(uint32_t desiredAccess, int32_t inheritHandle, uint32_t processId) = 0;
  virtual uint32_t GetCurrentProcessId() = 0;
  virtual int32_t GetExitCodeProcess(Handle process, uint32_t* exitCode) = 0;
  virtual int32_t TerminateProcess(Handle process, uint32_t exitCode) = 0;
  // The program's own file when module is null.
  virtual uint32_t GetModuleFileNameA(Module module, char* fileName, uint32_t size) = 0;
  virtual uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) = 0;
  virtual uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) = 0;
  // 0 on a system without a 32-bit subsystem.
  virtual uint32_t GetSystemWow64DirectoryA(char* buffer, uint32_t size) = 0;

  // A file's bytes, read as data (no security attributes, template or overlapped I/O).
  virtual Handle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                             uint32_t creationDisposition, uint32_t flagsAndAttributes) = 0;
  virtual int32_t SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition,
                                   uint32_t moveMethod) = 0;
  virtual int32_t ReadFile(Handle file, void* buffer, uint32_t bytesToRead,
                           uint32_t* bytesRead) = 0;
  virtual int32_t FreeLibrary(Module module) = 0;
  virtual int32_t WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                            uint32_t* bytesWritten) = 0;
  virtual int32_t CopyFileA(const char* existingFileName, const char* newFileName, int32_t failIfExists) = 0;
  // MoveFileExA without flags: never replaces, never copies across volumes.
  virtual int32_t MoveFileA(const char* existingFileName, const char* newFileName) = 0;
  // MoveFileExA with these flags (kMoveFileReplaceExisting: over a file there, in one step).
  virtual int32_t MoveFileExA(const char* existingFileName, const char* newFileName, uint32_t flags) = 0;
  // Windows File Protection's SfcIsFileProtected: 1 when the system guards the file; 0 also without sfc.dll.
  virtual int32_t SfcIsFileProtectedA(const char* fileName) = 0;
  virtual int32_t DeleteFileA(const char* fileName) = 0;
  // 0 when it fails, also when the folder is not empty.
  virtual int32_t RemoveDirectoryA(const char* pathName) = 0;
  virtual int32_t GetFileInformationByHandle(Handle file, FileIndex* information) = 0;
  // A new GUID in registry form, "{...}"; an HRESULT.
  virtual int32_t CoCreateGuid(std::string* guid) = 0;
  // Non-null when the module (loaded as data) holds a resource of that name and type.
  virtual Handle FindResourceA(Module module, const char* name, const char* type) = 0;
  // LoadTypeLibEx(fileName, REGKIND_NONE), so nothing is registered, then the
  // library's attributes and its coclasses' into *attributes. An HRESULT.
  virtual int32_t LoadTypeLibraryA(const char* fileName, TypeLibraryAttributes* attributes) = 0;
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
  // ShellExecuteEx with SEE_MASK_NOCLOSEPROCESS, its fields as arguments: *process
  // gets the process started, null when the shell started none; the caller closes it.
  virtual int32_t ShellExecuteExA(Hwnd owner, const char* verb, const char* file, const char* parameters,
                                  const char* directory, int showCommand, Handle* process) = 0;

  // The registry, read only. RegEnumKeyExA leaves out the reserved argument
  // and the class; *lastWriteTime, when asked for, is the key's last change
  // (a FILETIME as one number). RegQueryValueExA leaves out the reserved argument.
  virtual int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options, uint32_t samDesired,
                                RegKey* result) = 0;
  virtual int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                                uint64_t* lastWriteTime) = 0;
  virtual int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                                   uint32_t* dataSize) = 0;
  virtual int32_t RegCloseKey(RegKey key) = 0;
  // What a capture of a control's registration needs: a private key of its
  // own, the process's roots pointed there, and the key deleted again.
  // RegCreateKeyExA leaves out the reserved argument, the class, the options
  // and the security attributes; disposition may be null.
  virtual int32_t RegCreateKeyExA(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result,
                                  uint32_t* disposition) = 0;
  virtual int32_t RegOverridePredefKey(RegKey key, RegKey newKey) = 0;
  virtual int32_t RegDeleteTreeA(RegKey key, const char* subKey) = 0;
  virtual uint32_t ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) = 0;
  virtual uint32_t GetLongPathNameA(const char* shortPath, char* longPath, uint32_t size) = 0;
  // The time now, on the registry's clock (a FILETIME as one number).
  virtual uint64_t GetSystemTimeAsFileTime() = 0;

  // WaitForSingleObject's arguments and results. Meanwhile the calling thread's
  // windows keep painting and answer what the system sends them; keyboard and
  // mouse input that arrived during the wait is dropped when it ends, so no
  // click made while busy starts another action.
  virtual uint32_t WaitKeepingWindowAlive(Handle handle, uint32_t milliseconds) = 0;

  // A program tried after its controls were set up: started as CreateProcessA
  // starts one (no flags), with its own folder as its current directory, and
  // its top-level windows looked at.
  virtual int32_t CreateProcessInDirectoryA(const char* applicationName, char* commandLine,
                                            const char* currentDirectory, ProcessInformation* information) = 0;
  virtual int32_t EnumWindows(EnumWindowsCallback callback, intptr_t parameter) = 0;
  virtual uint32_t GetWindowThreadProcessId(Hwnd window, uint32_t* processId) = 0;
  virtual int32_t IsWindowVisible(Hwnd window) = 0;
  virtual int32_t GetClassNameA(Hwnd window, char* className, int32_t maxCount) = 0;
  virtual uint32_t GetDlgItemTextA(Hwnd dialog, int32_t itemId, char* text, int32_t maxCount) = 0;
  // GetModuleHandleA of a module already in the process, then GetProcAddress;
  // null when either is missing. Nothing is loaded.
  virtual Proc GetLoadedModuleExport(const char* moduleName, const char* procName) = 0;
  // A folder's entries matching a pattern ("C:\\setup\\*.cab"); InvalidHandleValue()
  // when none does. The search ends with FindClose.
  virtual Handle FindFirstFileA(const char* pattern, FindData* data) = 0;
  virtual int32_t FindNextFileA(Handle find, FindData* data) = 0;
  virtual int32_t FindClose(Handle find) = 0;
  virtual uint32_t GetTempPathA(uint32_t size, char* buffer) = 0;
  // No security attributes. 0 when it fails, also when the folder is there already.
  virtual int32_t CreateDirectoryA(const char* pathName) = 0;
  // The cabinet library's FDICopy over one cabinet file: each member whose name,
  // past any folder in it, is one of wanted (in any case) is written as a new
  // file folder\\<that wanted name>, and that name goes into *written; no other
  // part of a member's name is ever used. 1 when the whole cabinet was read; 0
  // when it is no cabinet, is damaged or the library is missing, and then
  // nothing it wrote is left.
  virtual int32_t ExtractFromCabinetA(const char* cabinet, const std::vector<std::string>& wanted,
                                      const char* folder, std::vector<std::string>* written) = 0;
  // LoadTypeLibEx(fileName, REGKIND_REGISTER): the system registers the type library. An HRESULT.
  virtual int32_t RegisterTypeLibraryA(const char* fileName) = 0;
  // UnRegisterTypeLib of the library the file holds, by its own identity and version. An HRESULT.
  virtual int32_t UnRegisterTypeLibraryA(const char* fileName) = 0;
};

}  // namespace ravlin
