// A control's type library, read without registering it, and a setup's
// type library registered and unregistered by the system.
#include <windows.h>
#include <oleauto.h>

#include <cwchar>
#include <memory>

#include "platform/Text.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using Owned = std::unique_ptr<Interface, Releaser>;

struct LibraryAttributesReleaser {
  ITypeLib* library;
  void operator()(TLIBATTR* attributes) const { library->ReleaseTLibAttr(attributes); }
};
struct TypeAttributesReleaser {
  ITypeInfo* info;
  void operator()(TYPEATTR* attributes) const { info->ReleaseTypeAttr(attributes); }
};

using FreeString = decltype(&::SysFreeString);
using StringLength = decltype(&::SysStringLen);
using LoadTypeLibrary = decltype(&::LoadTypeLibEx);

struct OwnedBstr {
  BSTR text = nullptr;
  OwnedBstr() = default;
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  ~OwnedBstr() {
    const auto free = AutomationLibrary().Find<FreeString>("SysFreeString");
    if (text && free) free(text);
  }
  std::string Narrowed() const {
    const auto length = AutomationLibrary().Find<StringLength>("SysStringLen");
    return text && length ? Narrow(text, length(text)) : std::string();
  }
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as StringFromGUID2 writes it.
std::string GuidText(const GUID& guid) {
  std::string text = "{" + Hex(guid.Data1, 8) + "-" + Hex(guid.Data2, 4) + "-" + Hex(guid.Data3, 4) + "-";
  for (size_t i = 0; i < 8; ++i) text += (i == 2 ? "-" : "") + Hex(guid.Data4[i], 2);
  return text + "}";
}

// The name ITypeLib gives its entry at index (-1: the library itself).
std::string EntryName(ITypeLib* library, INT index) {
  OwnedBstr name;
  if (FAILED(library->GetDocumentation(index, &name.text, nullptr, nullptr, nullptr))) return {};
  return name.Narrowed();
}

// Adds the entry at index to attributes when it is a coclass.
HRESULT ReadEntry(ITypeLib* library, UINT index, TypeLibraryAttributes* attributes) {
  ITypeInfo* rawInfo = nullptr;
  HRESULT result = library->GetTypeInfo(index, &rawInfo);
  if (FAILED(result)) return result;
  const Owned<ITypeInfo> info(rawInfo);
  TYPEATTR* rawType = nullptr;
  result = info->GetTypeAttr(&rawType);
  if (FAILED(result)) return result;
  const std::unique_ptr<TYPEATTR, TypeAttributesReleaser> type(rawType, TypeAttributesReleaser{info.get()});
  if (type->typekind != TKIND_COCLASS) return S_OK;
  attributes->classes.push_back({GuidText(type->guid), EntryName(library, static_cast<INT>(index)),
                                 type->wTypeFlags});
  return S_OK;
}

// A path of 260 characters or more in its "\\?\" form; where the library
// still cannot be read so (Wine searches for it in a buffer of that size), in
// its short form, which may fit.
HRESULT LoadLibraryOf(const char* fileName, ITypeLib** library) {
  const auto load = AutomationLibrary().Find<LoadTypeLibrary>("LoadTypeLibEx");
  if (!load) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  const WidePath path(fileName);
  HRESULT result = load(path.get(), REGKIND_NONE, library);
  if (SUCCEEDED(result) || std::wcsncmp(path.get(), L"\\\\?\\", 4) != 0) return result;
  const WideText shortPath = WideQuery([&](wchar_t* buffer, DWORD size) {
    return ::GetShortPathNameW(path.get(), buffer, size);
  });
  // Only a drive path drops its prefix so; 4 characters of it, and the NUL, do not count.
  if (shortPath.size() < 8 || shortPath.size() - 5 >= MAX_PATH || shortPath[5] != L':') return result;
  const HRESULT shortResult = load(shortPath.data() + 4, REGKIND_NONE, library);
  return SUCCEEDED(shortResult) ? shortResult : result;
}

using OwnedLibraryAttributes = std::unique_ptr<TLIBATTR, LibraryAttributesReleaser>;

// The file's type library and its attributes, the library held by *library.
HRESULT OpenLibrary(const char* fileName, Owned<ITypeLib>* library, OwnedLibraryAttributes* attributes) {
  ITypeLib* rawLibrary = nullptr;
  HRESULT result = LoadLibraryOf(fileName, &rawLibrary);
  if (FAILED(result)) return result;
  library->reset(rawLibrary);
  TLIBATTR* rawAttributes = nullptr;
  result = (*library)->GetLibAttr(&rawAttributes);
  if (FAILED(result)) return result;
  *attributes = OwnedLibraryAttributes(rawAttributes, LibraryAttributesReleaser{library->get()});
  return S_OK;
}

}  // namespace

int32_t WinPlatform::LoadTypeLibraryA(const char* fileName, TypeLibraryAttributes* attributes) {
  Owned<ITypeLib> library;
  OwnedLibraryAttributes own(nullptr, LibraryAttributesReleaser{nullptr});
  HRESULT result = OpenLibrary(fileName, &library, &own);
  if (FAILED(result)) return result;
  *attributes = TypeLibraryAttributes{};
  attributes->libid = GuidText(own->guid);
  attributes->name = EntryName(library.get(), -1);
  attributes->majorVersion = own->wMajorVerNum;
  attributes->minorVersion = own->wMinorVerNum;
  attributes->flags = own->wLibFlags;
  const UINT count = library->GetTypeInfoCount();
  for (UINT index = 0; index < count; ++index) {
    result = ReadEntry(library.get(), index, attributes);
    if (FAILED(result)) return result;
  }
  return S_OK;
}

int32_t WinPlatform::RegisterTypeLibraryA(const char* fileName) {
  ITypeLib* rawLibrary = nullptr;
  const HRESULT result = ::LoadTypeLibEx(WidePath(fileName).get(), REGKIND_REGISTER, &rawLibrary);
  if (SUCCEEDED(result)) rawLibrary->Release();
  return result;
}

int32_t WinPlatform::UnRegisterTypeLibraryA(const char* fileName) {
  Owned<ITypeLib> library;
  OwnedLibraryAttributes own(nullptr, LibraryAttributesReleaser{nullptr});
  const HRESULT result = OpenLibrary(fileName, &library, &own);
  if (FAILED(result)) return result;
  return ::UnRegisterTypeLib(own->guid, own->wMajorVerNum, own->wMinorVerNum, own->lcid, own->syskind);
}

}  // namespace ravlin
