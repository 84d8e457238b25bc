#include "DataDll.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/win32/Handles.h"

namespace bench {
namespace {

constexpr DWORD kSectionAlignment = 0x1000;

uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) / alignment * alignment; }

struct LibraryCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using OwnedLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser>;

// One directory level with one entry; `target` is an offset within the section,
// with the top bit set when it names another directory.
void PutDirectory(std::vector<char>& section, size_t at, DWORD id, DWORD target) {
  IMAGE_RESOURCE_DIRECTORY directory{};
  directory.NumberOfIdEntries = 1;
  std::memcpy(&section[at], &directory, sizeof(directory));
  IMAGE_RESOURCE_DIRECTORY_ENTRY entry{};
  entry.Name = id;
  entry.OffsetToData = target;
  std::memcpy(&section[at + sizeof(directory)], &entry, sizeof(entry));
}

// Resource section: type 16 / name 1 / language 0x409, then the block.
std::vector<char> ResourceSection(DWORD sectionRva, const std::string& block) {
  constexpr size_t kLevel = sizeof(IMAGE_RESOURCE_DIRECTORY) + sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY);
  constexpr size_t kDataEntry = 3 * kLevel;
  constexpr size_t kBlock = kDataEntry + sizeof(IMAGE_RESOURCE_DATA_ENTRY);
  std::vector<char> section(kBlock + block.size());
  constexpr DWORD kSubdirectory = 0x80000000;
  PutDirectory(section, 0, 16, kSubdirectory | kLevel);
  PutDirectory(section, kLevel, 1, kSubdirectory | (2 * kLevel));
  PutDirectory(section, 2 * kLevel, 0x409, kDataEntry);
  IMAGE_RESOURCE_DATA_ENTRY data{};
  data.OffsetToData = sectionRva + static_cast<DWORD>(kBlock);
  data.Size = static_cast<DWORD>(block.size());
  std::memcpy(&section[kDataEntry], &data, sizeof(data));
  std::memcpy(&section[kBlock], block.data(), block.size());
  return section;
}

IMAGE_SECTION_HEADER Section(const char* name, DWORD rva, DWORD virtualSize, DWORD rawOffset, DWORD rawSize) {
  IMAGE_SECTION_HEADER header{};
  std::memcpy(header.Name, name, std::strlen(name));
  header.Misc.VirtualSize = virtualSize;
  header.VirtualAddress = rva;
  header.SizeOfRawData = rawSize;
  header.PointerToRawData = rawOffset;
  header.Characteristics = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ;
  return header;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  DWORD written = 0;
  return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

}  // namespace

std::string VersionResourceOf(const std::string& path) {
  OwnedLibrary module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return {};
  HRSRC resource = FindResourceA(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(module.get(), resource);
  const DWORD size = SizeofResource(module.get(), resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? std::string(static_cast<const char*>(bytes), size) : std::string();
}

uint64_t WriteDataDll(const std::string& path, uint64_t totalBytes, const std::string& versionBlock,
                      uint32_t fileAlignment) {
  // The headers fill the first aligned unit of the file.
  const DWORD headersSize = fileAlignment;
  if (fileAlignment < 0x200 || fileAlignment > kSectionAlignment || (fileAlignment & (fileAlignment - 1)))
    return 0;
  const size_t resourceSize = ResourceSection(0, versionBlock).size();
  const uint64_t resourceRaw = AlignUp(resourceSize, fileAlignment);
  if (totalBytes < headersSize + fileAlignment + resourceRaw) return 0;
  const uint64_t padRaw = AlignUp(totalBytes - headersSize - resourceRaw, fileAlignment);
  if (padRaw > 0x7FFFF000) return 0;
  const DWORD padRva = kSectionAlignment;
  const DWORD resourceRva = static_cast<DWORD>(AlignUp(padRva + padRaw, kSectionAlignment));
  const DWORD resourceOffset = static_cast<DWORD>(headersSize + padRaw);
  const std::vector<char> resources = ResourceSection(resourceRva, versionBlock);

  std::vector<char> headers(headersSize);
  IMAGE_DOS_HEADER dos{};
  dos.e_magic = IMAGE_DOS_SIGNATURE;
  dos.e_lfanew = sizeof(dos);
  std::memcpy(&headers[0], &dos, sizeof(dos));

  IMAGE_NT_HEADERS nt{};
  nt.Signature = IMAGE_NT_SIGNATURE;
#ifdef _WIN64
  nt.FileHeader.Machine = IMAGE_FILE_MACHINE_AMD64;
  nt.FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_DLL | IMAGE_FILE_LARGE_ADDRESS_AWARE;
#else
  nt.FileHeader.Machine = IMAGE_FILE_MACHINE_I386;
  nt.FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_DLL | IMAGE_FILE_32BIT_MACHINE;
#endif
  nt.FileHeader.NumberOfSections = 2;
  nt.FileHeader.SizeOfOptionalHeader = sizeof(nt.OptionalHeader);
  IMAGE_OPTIONAL_HEADER& optional = nt.OptionalHeader;
  optional.Magic = IMAGE_NT_OPTIONAL_HDR_MAGIC;
  optional.SizeOfInitializedData = static_cast<DWORD>(padRaw + resourceRaw);
  optional.ImageBase = 0x10000000;
  optional.SectionAlignment = kSectionAlignment;
  optional.FileAlignment = fileAlignment;
  optional.MajorOperatingSystemVersion = 6;
  optional.MajorSubsystemVersion = 6;
  optional.SizeOfImage = static_cast<DWORD>(AlignUp(resourceRva + resources.size(), kSectionAlignment));
  optional.SizeOfHeaders = headersSize;
  optional.Subsystem = IMAGE_SUBSYSTEM_WINDOWS_GUI;
  optional.SizeOfStackReserve = 0x100000;
  optional.SizeOfStackCommit = 0x1000;
  optional.SizeOfHeapReserve = 0x100000;
  optional.SizeOfHeapCommit = 0x1000;
  optional.NumberOfRvaAndSizes = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
  optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE] = {resourceRva, static_cast<DWORD>(resources.size())};
  std::memcpy(&headers[sizeof(dos)], &nt, sizeof(nt));

  const IMAGE_SECTION_HEADER sections[] = {
      Section(".pad", padRva, static_cast<DWORD>(padRaw), headersSize, static_cast<DWORD>(padRaw)),
      Section(".rsrc", resourceRva, static_cast<DWORD>(resources.size()), resourceOffset,
              static_cast<DWORD>(resourceRaw)),
  };
  std::memcpy(&headers[sizeof(dos) + sizeof(nt)], sections, sizeof(sections));

  ravlin::UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return 0;
  if (!WriteAll(file.get(), headers.data(), headers.size())) return 0;
  // Padding that is neither zeros nor text, so no part of it looks like a key.
  std::vector<char> chunk(1 << 20);
  for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>((i * 2654435761u) >> 24 | 0x80);
  for (uint64_t left = padRaw; left > 0;) {
    const size_t part = static_cast<size_t>(left < chunk.size() ? left : chunk.size());
    if (!WriteAll(file.get(), chunk.data(), part)) return 0;
    left -= part;
  }
  std::vector<char> tail(static_cast<size_t>(resourceRaw));
  std::memcpy(tail.data(), resources.data(), resources.size());
  if (!WriteAll(file.get(), tail.data(), tail.size())) return 0;
  return resourceOffset + (resources.size() - versionBlock.size());
}

}  // namespace bench
