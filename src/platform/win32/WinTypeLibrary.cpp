// A control's type library, read without registering it.
#include <windows.h>
#include <oleauto.h>

#include <memory>

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

struct OwnedBstr {
  BSTR text = nullptr;
  OwnedBstr() = default;
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  ~OwnedBstr() { ::SysFreeString(text); }
  std::string Narrowed() const { return text ? Narrow(text, ::SysStringLen(text)) : std::string(); }
};

std::string GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  const int length = ::StringFromGUID2(guid, text, 40);
  return length > 0 ? Narrow(text, static_cast<size_t>(length - 1)) : std::string();
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

}  // namespace

int32_t WinPlatform::LoadTypeLibraryA(const char* fileName, TypeLibraryAttributes* attributes) {
  ITypeLib* rawLibrary = nullptr;
  HRESULT result = ::LoadTypeLibEx(WideArg(fileName).get(), REGKIND_NONE, &rawLibrary);
  if (FAILED(result)) return result;
  const Owned<ITypeLib> library(rawLibrary);
  TLIBATTR* rawAttributes = nullptr;
  result = library->GetLibAttr(&rawAttributes);
  if (FAILED(result)) return result;
  const std::unique_ptr<TLIBATTR, LibraryAttributesReleaser> own(rawAttributes,
                                                                  LibraryAttributesReleaser{library.get()});
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

}  // namespace ravlin
