#include "BenchApp.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "VbProgramBuilder.h"

namespace bench {
namespace {

constexpr size_t kProgramSize = 2 * 1024 * 1024;

const char* const kRegistered[] = {"benchreg0.ocx", "benchreg1.ocx", "benchreg2.ocx"};
const char* const kBeside[] = {"MSCOMCTL.OCX", "COMDLG32.OCX", "RICHTX32.OCX"};

ravlin::vb::Guid BenchGuid(int i) {
  ravlin::vb::Guid guid = ravlin::vb::kShellGuid;
  guid[15] = static_cast<uint8_t>(i + 1);
  return guid;
}

std::string ClassKey(const ravlin::vb::Guid& g) {
  char text[80];
  std::snprintf(text, sizeof text,
                "Software\\Classes\\CLSID\\{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g[3], g[2], g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return text;
}

bool PlantClass(const ravlin::vb::Guid& guid, const std::string& server) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, (ClassKey(guid) + "\\InprocServer32").c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const bool set = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                                  static_cast<DWORD>(server.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

void RemoveClass(const ravlin::vb::Guid& guid) {
  const std::string key = ClassKey(guid);
  RegDeleteKeyExA(HKEY_CURRENT_USER, (key + "\\InprocServer32").c_str(), KEY_WOW64_32KEY, 0);
  RegDeleteKeyExA(HKEY_CURRENT_USER, key.c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace

bool WriteApp(const std::string& name, BenchApp* app) {
  char temp[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return false;
  app->folder = std::string(temp) + name;
  app->program = app->folder + "\\benchapp.exe";
  if (!CreateDirectoryA(app->folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  using ravlin::vb::Entry;
  std::vector<std::string> entries;
  for (int i = 0; i < 3; ++i) {
    const std::string file = app->folder + "\\" + kRegistered[i];
    entries.push_back(Entry(BenchGuid(10 + i), kRegistered[i], "Bench.Registered"));
    if (!std::ofstream(file, std::ios::binary).put('x') || !PlantClass(BenchGuid(10 + i), file)) return false;
  }
  for (int i = 0; i < 5; ++i) {
    entries.push_back(Entry(BenchGuid(i), i < 3 ? kBeside[i] : "benchnowhere" + std::to_string(i) + ".ocx", "Bench.Control"));
    if (i < 3 && !std::ofstream(app->folder + "\\" + kBeside[i], std::ios::binary).put('x')) return false;
  }
  std::string bytes = ravlin::vb::Program(entries);
  bytes.resize(kProgramSize, '\0');
  std::ofstream out(app->program, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void RemoveApp(const BenchApp& app) {
  if (app.folder.empty()) return;
  DeleteFileA(app.program.c_str());
  for (int i = 0; i < 3; ++i) RemoveClass(BenchGuid(10 + i));
  for (const char* name : kRegistered) DeleteFileA((app.folder + "\\" + name).c_str());
  for (const char* name : kBeside) DeleteFileA((app.folder + "\\" + name).c_str());
  RemoveDirectoryA(app.folder.c_str());
}

}  // namespace bench
