// A control deeper than the 260 characters of the 8-bit Windows functions,
// through the Windows platform.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/WinPlatform.h"

namespace ravlin {
namespace {

// The test makes its folders with the wide functions and the "\\?\" prefix.
std::wstring Extended(const std::string& path) {
  std::vector<wchar_t> wide(path.size() + 1, L'\0');  // never more characters than bytes
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return L"\\\\?\\" + std::wstring(wide.data());
}

uint32_t CallRegisterServer(void* entryPoint) {
  return static_cast<uint32_t>(WinPlatform().CallExport(*static_cast<Proc*>(entryPoint)));
}

// A crashed control is named by its file, not by the first 260 characters of its path.
TEST(LongPaths, ACrashDeepDownNamesTheControlsFile) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::vector<std::string> folders{std::string(temp) + "ravlin-deep"};
  while (folders.back().size() < 300) folders.push_back(folders.back() + "\\a-folder-to-make-the-path-long");
  for (const std::string& folder : folders) CreateDirectoryW(Extended(folder).c_str(), nullptr);
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string fixture = std::string(exe).substr(0, std::string(exe).find_last_of('\\')) + "\\fixtures\\crash.ocx";
  const std::string control = folders.back() + "\\crash.ocx";
  ASSERT_TRUE(CopyFileW(Extended(fixture).c_str(), Extended(control).c_str(), FALSE));

  WinPlatform platform;
  const Module library = platform.LoadLibraryExA(control.c_str(), nullptr, kLoadWithAlteredSearchPath);
  ASSERT_TRUE(library) << "error " << platform.GetLastError();
  Proc entryPoint = platform.GetProcAddress(library, "DllRegisterServer");
  platform.InstallCrashFilter();
  uint32_t threadId = 0;
  const Handle thread = platform.CreateThread(nullptr, 0, &CallRegisterServer, &entryPoint, 0, &threadId);
  ASSERT_TRUE(thread);
  EXPECT_EQ(platform.WaitForSingleObject(thread, 10000), kWaitObject0);
  platform.CloseHandle(thread);
  CrashRecord record;
  EXPECT_TRUE(platform.TakeCrashRecord(threadId, &record));
  EXPECT_EQ(record.module, "crash.ocx");

  platform.FreeLibrary(library);
  DeleteFileW(Extended(control).c_str());
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    RemoveDirectoryW(Extended(*folder).c_str());
}

}  // namespace
}  // namespace ravlin
