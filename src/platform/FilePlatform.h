#pragma once
// The files and folders the program reads and writes, and the error codes
// and texts the system gives when that fails: one virtual per Windows
// function, with the same arguments and results.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemTypes.h"

namespace ravlin {

constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFormatMessageIgnoreInserts = 0x200;
constexpr uint32_t kFormatMessageFromSystem = 0x1000;
constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kFileShareRead = 0x1;
constexpr uint32_t kFileShareWrite = 0x2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kMoveFileReplaceExisting = 1;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kFileBegin = 0;
constexpr uint32_t kCpAcp = 0;

// What GetFileInformationByHandle tells apart: one file, whatever its names.
struct FileIndex {
  uint32_t volumeSerialNumber = 0;
  uint64_t fileIndex = 0;
  bool operator==(const FileIndex& other) const {
    return volumeSerialNumber == other.volumeSerialNumber && fileIndex == other.fileIndex;
  }
};

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

// One member of a cabinet file as its header gives it: the name may hold a
// folder, and the size is what it says unpacked.
struct CabinetMember {
  std::string name;
  int64_t size = 0;
};

class FilePlatform {
 public:
  virtual ~FilePlatform() = default;

  virtual uint32_t GetLastError() = 0;
  virtual uint32_t FormatMessageA(uint32_t flags, const void* source, uint32_t messageId,
                                  uint32_t languageId, char* buffer, uint32_t size,
                                  void* arguments) = 0;
  virtual int32_t CloseHandle(Handle object) = 0;

  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) = 0;
  // 0 on a system without a 32-bit subsystem.
  virtual uint32_t GetSystemWow64DirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) = 0;
  virtual uint32_t GetTempPathA(uint32_t size, char* buffer) = 0;
  virtual uint32_t GetFullPathNameA(const char* fileName, uint32_t bufferLength,
                                    char* buffer, char** filePart) = 0;
  virtual uint32_t GetLongPathNameA(const char* shortPath, char* longPath, uint32_t size) = 0;
  virtual uint32_t GetFileAttributesA(const char* fileName) = 0;
  virtual int32_t GetFileAttributesExA(const char* fileName, FileAttributeData* data) = 0;

  // A file's bytes, read as data (no security attributes, template or overlapped I/O).
  virtual Handle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                             uint32_t creationDisposition, uint32_t flagsAndAttributes) = 0;
  virtual int32_t SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition,
                                   uint32_t moveMethod) = 0;
  virtual int32_t ReadFile(Handle file, void* buffer, uint32_t bytesToRead,
                           uint32_t* bytesRead) = 0;
  virtual int32_t WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                            uint32_t* bytesWritten) = 0;
  virtual int32_t GetFileInformationByHandle(Handle file, FileIndex* information) = 0;
  virtual int32_t CopyFileA(const char* existingFileName, const char* newFileName, int32_t failIfExists) = 0;
  // MoveFileExA without flags: never replaces, never copies across volumes.
  virtual int32_t MoveFileA(const char* existingFileName, const char* newFileName) = 0;
  // MoveFileExA with these flags (kMoveFileReplaceExisting: over a file there, in one step).
  virtual int32_t MoveFileExA(const char* existingFileName, const char* newFileName, uint32_t flags) = 0;
  // Windows File Protection's SfcIsFileProtected: 1 when the system guards the file; 0 also without sfc.dll.
  virtual int32_t SfcIsFileProtectedA(const char* fileName) = 0;
  virtual int32_t DeleteFileA(const char* fileName) = 0;
  // No security attributes. 0 when it fails, also when the folder is there already.
  virtual int32_t CreateDirectoryA(const char* pathName) = 0;
  // 0 when it fails, also when the folder is not empty.
  virtual int32_t RemoveDirectoryA(const char* pathName) = 0;
  // A folder's entries matching a pattern ("C:\\setup\\*.cab"); InvalidHandleValue()
  // when none does. The search ends with FindClose.
  virtual Handle FindFirstFileA(const char* pattern, FindData* data) = 0;
  virtual int32_t FindNextFileA(Handle find, FindData* data) = 0;
  virtual int32_t FindClose(Handle find) = 0;

  virtual uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle) = 0;
  virtual int32_t GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t length,
                                      void* data) = 0;
  // Version texts stored in 16-bit characters become ANSI text through this.
  virtual int32_t WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wideText,
                                      int32_t wideLength, char* multiByteText,
                                      int32_t multiByteLength, const char* defaultChar,
                                      int32_t* usedDefaultChar) = 0;

  // The cabinet library's FDICopy over one cabinet file, writing nothing:
  // its members in the cabinet's order, their names as written. 1 when the
  // whole cabinet was read; 0 when it is no cabinet, is damaged or the
  // library is missing.
  virtual int32_t ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) = 0;
  // FDICopy again, writing the member at index (in ListCabinetA's order) as
  // the new file target, never over one there. 1 when it was written whole;
  // 0 otherwise, and then nothing of it is left.
  virtual int32_t ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) = 0;
};

}  // namespace ravlin
