// A cabinet file read through the system's cabinet library, loaded from the
// system folder when first needed: its members listed, or one of them
// written to a file named by the caller. Which members to take, and under
// what name, is decided above the platform.
#include <windows.h>
#include <fdi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// One pass over a cabinet: every member is listed, and the one at index
// written to target when there is a target.
struct Pass {
  std::vector<CabinetMember>* members = nullptr;
  uint32_t index = 0;
  const char* target = nullptr;
  uint32_t seen = 0;
  bool made = false;      // target was created
  HANDLE open = nullptr;  // the member being written
};

// The pass under way: the library's close callback has no context of its
// own. Cabinets are read on the user-interface thread only.
Pass* current = nullptr;

HANDLE AsHandle(INT_PTR file) { return reinterpret_cast<HANDLE>(file); }

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Release) { std::free(pv); }
// Only the cabinet itself is opened this way, for reading.
FNOPEN(OpenCabinet) {
  (void)oflag;
  (void)pmode;
  const HANDLE file = ::CreateFileW(WidePath(pszFile).get(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
}
FNREAD(ReadPart) {
  DWORD read = 0;
  return ::ReadFile(AsHandle(hf), pv, cb, &read, nullptr) ? read : static_cast<UINT>(-1);
}
FNWRITE(WritePart) {
  DWORD written = 0;
  return ::WriteFile(AsHandle(hf), pv, cb, &written, nullptr) ? written : static_cast<UINT>(-1);
}
FNCLOSE(CloseFile) {
  if (current && current->open == AsHandle(hf)) current->open = nullptr;
  return ::CloseHandle(AsHandle(hf)) ? 0 : -1;
}
FNSEEK(Seek) {
  const DWORD moved = ::SetFilePointer(AsHandle(hf), dist, nullptr, static_cast<DWORD>(seektype));
  return moved == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(moved);
}

INT_PTR CopyMember(Pass& pass, const FDINOTIFICATION& note) {
  const uint32_t at = pass.seen++;
  if (pass.members) pass.members->push_back({note.psz1 ? note.psz1 : "", note.cb});
  if (!pass.target || at != pass.index) return 0;  // 0: passed over
  const HANDLE file = ::CreateFileW(WidePath(pass.target).get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  pass.made = true;
  pass.open = file;
  return reinterpret_cast<INT_PTR>(file);
}

FNFDINOTIFY(Notify) {
  Pass& pass = *static_cast<Pass*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE: return CopyMember(pass, *pfdin);
    case fdintCLOSE_FILE_INFO: return CloseFile(pfdin->hf) == 0 ? TRUE : -1;
    case fdintNEXT_CABINET: return -1;  // a set spanning several files is not followed
    default: return 0;
  }
}

using Create = decltype(&FDICreate);
using Copy = decltype(&FDICopy);
using Destroy = decltype(&FDIDestroy);

// FDICopy over the whole cabinet; whether it was read to its end.
bool Read(const char* cabinet, Pass& pass) {
  static const SystemLibrary library("cabinet.dll");
  const auto create = library.Find<Create>("FDICreate");
  const auto copy = library.Find<Copy>("FDICopy");
  const auto destroy = library.Find<Destroy>("FDIDestroy");
  if (!create || !copy || !destroy) return false;
  ERF error{};
  const HFDI context = create(Allocate, Release, OpenCabinet, ReadPart, WritePart, CloseFile, Seek, cpuUNKNOWN, &error);
  if (!context) return false;
  const std::string path = cabinet;
  const size_t slash = path.find_last_of('\\');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string where = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  current = &pass;
  const BOOL whole = copy(context, &name[0], &where[0], 0, Notify, nullptr, &pass);
  destroy(context);
  current = nullptr;
  if (pass.open) ::CloseHandle(pass.open);  // left open by a member cut short
  return whole != FALSE;
}

}  // namespace

int32_t WinPlatform::ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) {
  members->clear();
  Pass pass;
  pass.members = members;
  return Read(cabinet, pass) ? 1 : 0;
}

int32_t WinPlatform::ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) {
  Pass pass;
  pass.index = index;
  pass.target = target;
  if (Read(cabinet, pass) && pass.made) return 1;
  if (pass.made) ::DeleteFileW(WidePath(target).get());
  return 0;
}

}  // namespace ravlin
