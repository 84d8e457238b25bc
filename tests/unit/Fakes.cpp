#include "Fakes.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "window/Layout.h"

namespace ravlin {

int32_t FakePlatform::ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) {
  auto it = openFiles_.find(file);
  if (it == openFiles_.end()) return 0;
  const std::string& bytes = *it->second.bytes;
  const size_t from = std::min(it->second.position, bytes.size());
  const size_t count = std::min<size_t>(bytesToRead, bytes.size() - from);
  std::memcpy(buffer, bytes.data() + from, count);
  it->second.position = from + count;
  *bytesRead = static_cast<uint32_t>(count);
  return 1;
}

int32_t FakePlatform::WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wideText,
                                          int32_t wideLength, char* multiByteText, int32_t multiByteLength,
                                          const char* defaultChar, int32_t* usedDefaultChar) {
  log_.Add("WideCharToMultiByte:" + std::to_string(codePage) + "|" + std::to_string(wideLength) +
           "|" + std::to_string(multiByteLength));
  if (onWideCharToMultiByte)
    return onWideCharToMultiByte(codePage, flags, wideText, wideLength, multiByteText,
                                 multiByteLength, defaultChar, usedDefaultChar);
  if (wideLength < 0) wideLength = static_cast<int32_t>(std::char_traits<char16_t>::length(wideText)) + 1;
  if (wideLength == 0 || multiByteLength < 0) return 0;
  if (multiByteLength == 0) return wideLength;
  if (multiByteLength < wideLength) return 0;
  bool usedDefault = false;
  for (int32_t i = 0; i < wideLength; ++i) {
    const char16_t unit = wideText[i];
    usedDefault = usedDefault || unit >= 0x80;
    multiByteText[i] = unit < 0x80 ? static_cast<char>(unit) : defaultChar ? *defaultChar : '?';
  }
  if (usedDefaultChar) *usedDefaultChar = usedDefault ? 1 : 0;
  return wideLength;
}

uint32_t FakePlatform::ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) {
  std::string text = source;
  for (size_t start = text.find('%'); start != std::string::npos; start = text.find('%', start)) {
    const size_t end = text.find('%', start + 1);
    if (end == std::string::npos) break;
    std::string name = text.substr(start + 1, end - start - 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    auto it = environment.find(name);
    if (it == environment.end()) {
      start = end;  // the second % may open the next name
      continue;
    }
    text.replace(start, end - start + 1, it->second);
    start += it->second.size();
  }
  if (text.size() + 1 <= size) std::memcpy(destination, text.c_str(), text.size() + 1);
  return static_cast<uint32_t>(text.size() + 1);
}

Handle FakePlatform::CreateFileA(const char* fileName, uint32_t, uint32_t, uint32_t, uint32_t) {
  auto it = fileBytes.find(fileName);
  if (it == fileBytes.end()) return InvalidHandleValue();
  const Handle handle = reinterpret_cast<Handle>(static_cast<intptr_t>(0xF000 + nextFile_++));
  openFiles_[handle] = {&it->second, 0};
  return handle;
}

int32_t FakePlatform::SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition, uint32_t) {
  auto it = openFiles_.find(file);
  if (it == openFiles_.end() || distance < 0) return 0;
  it->second.position = static_cast<size_t>(distance);
  if (newPosition) *newPosition = distance;
  return 1;
}

int32_t FakePlatform::TakeCrashRecord(uint32_t threadId, CrashRecord* record) {
  auto it = crashes.find(threadId);
  if (it == crashes.end()) return 0;
  *record = it->second;
  crashes.erase(it);
  return 1;
}

int32_t FakePlatform::ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) {
  auto it = cabinets.find(cabinet);
  if (it == cabinets.end()) return 0;
  *members = it->second;
  return 1;
}

int32_t FakePlatform::ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) {
  auto it = cabinets.find(cabinet);
  const bool fails = std::find(failMembers.begin(), failMembers.end(), index) != failMembers.end();
  if (it == cabinets.end() || index >= it->second.size() || fails || extracted.count(target)) return 0;
  extracted[target] = it->second[index].name;
  return 1;
}

FakeWindow::FakeWindow() {
  toolkit.form = &form;
  for (const ControlSpec& spec : kLayout) {
    std::string name = spec.name;
    if (spec.index >= 0) name += "(" + std::to_string(spec.index) + ")";
    auto view = std::make_unique<FakeView>(log, name);
    form.ControlById(spec.id).Attach(view.get());
    views[spec.id] = std::move(view);
  }
}

}  // namespace ravlin
