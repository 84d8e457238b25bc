// Members taken out of a cabinet file through the system's cabinet library,
// loaded from the system folder when first needed. The archive is untrusted:
// a member's name only decides whether it is wanted; the file written is
// named after the wanted name, in the folder given, and never replaces one.
#include <windows.h>
#include <fdi.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// A member larger than this once unpacked is passed over.
constexpr long kLargestMember = 100L * 1024 * 1024;

struct Extraction {
  const std::vector<std::string>* wanted;
  std::string folder;
  std::vector<char> taken;
  std::vector<std::string>* written;
  std::vector<std::string> paths;  // every file made, to remove if the cabinet turns out damaged
  HANDLE open = nullptr;           // the member being written
};

// The extraction under way: the library's close callback has no context of
// its own. Cabinets are read on the user-interface thread only.
Extraction* current = nullptr;

HANDLE AsHandle(INT_PTR file) { return reinterpret_cast<HANDLE>(file); }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

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

// The wanted name that a member's name ends in, past any folder; -1 for none.
int WantedIndex(const Extraction& job, const char* memberName) {
  const std::string name = memberName ? memberName : "";
  const size_t slash = name.find_last_of("\\/");
  const std::string bare = slash == std::string::npos ? name : name.substr(slash + 1);
  for (size_t i = 0; i < job.wanted->size(); ++i)
    if (!job.taken[i] && SameIgnoringCase(bare, (*job.wanted)[i])) return static_cast<int>(i);
  return -1;
}

INT_PTR CopyMember(Extraction& job, const FDINOTIFICATION& note) {
  const int index = WantedIndex(job, note.psz1);
  if (index < 0 || note.cb < 0 || note.cb > kLargestMember) return 0;  // 0: passed over
  const std::string path = job.folder + "\\" + (*job.wanted)[static_cast<size_t>(index)];
  const HANDLE file = ::CreateFileW(WidePath(path.c_str()).get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  job.taken[static_cast<size_t>(index)] = 1;
  job.paths.push_back(path);
  job.written->push_back((*job.wanted)[static_cast<size_t>(index)]);
  job.open = file;
  return reinterpret_cast<INT_PTR>(file);
}

FNFDINOTIFY(Notify) {
  Extraction& job = *static_cast<Extraction*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE: return CopyMember(job, *pfdin);
    case fdintCLOSE_FILE_INFO: return CloseFile(pfdin->hf) == 0 ? TRUE : -1;
    case fdintNEXT_CABINET: return -1;  // a set spanning several files is not followed
    default: return 0;
  }
}

using Create = decltype(&FDICreate);
using Copy = decltype(&FDICopy);
using Destroy = decltype(&FDIDestroy);

}  // namespace

int32_t WinPlatform::ExtractFromCabinetA(const char* cabinet, const std::vector<std::string>& wanted,
                                         const char* folder, std::vector<std::string>* written) {
  static const SystemLibrary library("cabinet.dll");
  const auto create = library.Find<Create>("FDICreate");
  const auto copy = library.Find<Copy>("FDICopy");
  const auto destroy = library.Find<Destroy>("FDIDestroy");
  if (!create || !copy || !destroy) return 0;
  ERF error{};
  const HFDI context = create(Allocate, Release, OpenCabinet, ReadPart, WritePart, CloseFile, Seek, cpuUNKNOWN, &error);
  if (!context) return 0;
  const std::string path = cabinet;
  const size_t slash = path.find_last_of('\\');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string where = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  Extraction job{&wanted, folder, std::vector<char>(wanted.size(), 0), written, {}};
  const size_t before = written->size();
  current = &job;
  const BOOL whole = copy(context, &name[0], &where[0], 0, Notify, nullptr, &job);
  destroy(context);
  current = nullptr;
  if (whole) return 1;
  // What was made is removed, and the cabinet counts as damaged.
  if (job.open) ::CloseHandle(job.open);
  for (const std::string& made : job.paths) ::DeleteFileW(WidePath(made.c_str()).get());
  written->resize(before);
  return 0;
}

}  // namespace ravlin
