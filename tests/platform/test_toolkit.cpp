// The Windows toolkit's file services and the probes against the real system.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinToolkit.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

std::string TempFolder() {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  std::string folder = std::string(path) + "ravlin-toolkit-tests";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string WriteFile(const std::string& name, const std::string& content, DWORD attributes = 0) {
  const std::string path = TempFolder() + "\\" + name;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream(path, std::ios::binary) << content;
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WindowsToolkit : public ::testing::Test {
 protected:
  WinToolkit toolkit{GetModuleHandleA(nullptr)};
  WinPlatform platform;
  frmRavlin form{toolkit, platform};
};

TEST_F(WindowsToolkit, IsFileThereOnlyForFilesThatOpenForReading) {
  const std::string readable = WriteFile("readable.ocx", "x");
  EXPECT_TRUE(form.IsFileThere(readable));
  // No handle stays open: the file can be deleted at once.
  EXPECT_TRUE(DeleteFileA(readable.c_str()));

  EXPECT_FALSE(form.IsFileThere(TempFolder()));
  EXPECT_FALSE(form.IsFileThere(TempFolder() + "\\missing.ocx"));
  EXPECT_FALSE(form.IsFileThere(""));
  EXPECT_FALSE(form.IsFileThere(TempFolder() + "\\*.ocx"));
}

TEST_F(WindowsToolkit, IsFileThereIsFalseForAFileLockedAgainstReading) {
  const std::string path = WriteFile("locked.ocx", "x");
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(form.IsFileThere(path));
  CloseHandle(lock);
  EXPECT_TRUE(form.IsFileThere(path));
}

TEST_F(WindowsToolkit, DirMatchesOrdinaryFilesOnly) {
  const std::string plain = WriteFile("plain.ocx", "x");
  const std::string readOnly = WriteFile("readonly.ocx", "x", FILE_ATTRIBUTE_READONLY);
  const std::string hidden = WriteFile("hidden.ocx", "x", FILE_ATTRIBUTE_HIDDEN);
  const std::string system = WriteFile("system.ocx", "x", FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(toolkit.Dir(plain), "plain.ocx");
  EXPECT_EQ(toolkit.Dir(readOnly), "readonly.ocx");
  EXPECT_EQ(toolkit.Dir(hidden), "");
  EXPECT_EQ(toolkit.Dir(system), "");
  EXPECT_EQ(toolkit.Dir(TempFolder()), "");
  EXPECT_EQ(toolkit.Dir(TempFolder() + "\\missing.ocx"), "");
  EXPECT_EQ(toolkit.Dir("Q:\\no\\such\\folder\\x.ocx"), "");
}

TEST_F(WindowsToolkit, OutputReplacesTheWholeFileAndPrintEndsTheLine) {
  const std::string path = WriteFile("out.txt", "a much longer old content that must go");
  const int number = toolkit.FreeFile();
  toolkit.OpenForOutput(number, path);
  EXPECT_NE(toolkit.FreeFile(), number);
  toolkit.Print(number, "new");
  toolkit.Close(number);
  EXPECT_EQ(ReadFile(path), "new\r\n");
  EXPECT_EQ(toolkit.FreeFile(), number);
  toolkit.Close(number);  // closing a closed number does nothing
}

TEST_F(WindowsToolkit, FailuresCarryTheSystemsDescription) {
  try {
    toolkit.OpenForOutput(toolkit.FreeFile(), TempFolder() + "\\no\\such\\folder\\x.bat");
    FAIL() << "opened a file in a missing folder";
  } catch (const ToolkitError& error) {
    EXPECT_FALSE(std::string(error.what()).empty());
    EXPECT_EQ(std::string(error.what()), WinToolkit::Describe(ERROR_PATH_NOT_FOUND));
  }
  EXPECT_THROW(toolkit.Print(77, "x"), ToolkitError);
}

TEST_F(WindowsToolkit, AppPathIsTheExecutablesFolder) {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string path = toolkit.AppPath();
  EXPECT_EQ(path + "\\", std::string(module).substr(0, path.size() + 1));
  EXPECT_NE(path.back(), '\\');
}

TEST_F(WindowsToolkit, ProbesAnswerFromTheRealSystem) {
  const std::string system = form.GetSystemPath();
  char expected[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(expected, MAX_PATH), 0u);
  EXPECT_EQ(system, expected);
  SYSTEM_INFO info;
  GetNativeSystemInfo(&info);
  EXPECT_EQ(form.is64(), info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                             info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64);
}

}  // namespace
}  // namespace ravlin
