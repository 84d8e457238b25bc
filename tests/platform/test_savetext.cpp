// Savetext against the real file services, with message boxes recorded
// instead of shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinToolkit.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// Hands everything to the Windows toolkit except the message box, which a
// test cannot dismiss.
class RecordingToolkit : public Toolkit {
 public:
  explicit RecordingToolkit(WinToolkit& real) : real_(real) {}

  std::vector<std::string> boxes;

  void MsgBox(const std::string& prompt) override { boxes.push_back(prompt); }
  std::string BrowseForFolder(const std::string&, const std::string&) override { return {}; }
  void DoEvents() override { real_.DoEvents(); }
  std::string AppPath() override { return real_.AppPath(); }
  std::string Command() override { return real_.Command(); }
  std::string Dir(const std::string& pathName) override { return real_.Dir(pathName); }
  int FreeFile() override { return real_.FreeFile(); }
  void OpenForInput(int n, const std::string& path) override { real_.OpenForInput(n, path); }
  void OpenForOutput(int n, const std::string& path) override { real_.OpenForOutput(n, path); }
  void Print(int n, const std::string& text) override { real_.Print(n, text); }
  void Close(int n) override { real_.Close(n); }
  void SetMousePointer(MousePointer pointer) override { real_.SetMousePointer(pointer); }
  void SetTimer(uint32_t interval, std::function<void()> onTimer) override { real_.SetTimer(interval, std::move(onTimer)); }
  void Unload() override {}
  void End() override {}

 private:
  WinToolkit& real_;
};

std::string Folder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-savetext-tests";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Savetext : public ::testing::Test {
 protected:
  WinToolkit windows{GetModuleHandleA(nullptr)};
  RecordingToolkit toolkit{windows};
  WinPlatform platform;
  frmRavlin form{toolkit, platform};
};

TEST_F(Savetext, ReplacesTheWholeContentOfAnExistingFile) {
  const std::string path = Folder() + "\\register.bat";
  std::ofstream(path, std::ios::binary) << std::string(4096, 'x') << "\r\nold tail\r\n";

  const std::string script = "cd C:\\Windows\\SysWOW64\r\nregsvr32 RICHTX32.OCX\r\npause";
  EXPECT_TRUE(form.Savetext(path, script));

  EXPECT_EQ(Read(path), script + "\r\n");
  EXPECT_TRUE(toolkit.boxes.empty());
  // Closed before returning: nothing holds the file.
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(Savetext, WritesEightBitTextUnchanged) {
  const std::string path = Folder() + "\\ansi.txt";
  const std::string text = "caf\xE9 \xA9";  // Latin-1 bytes, as the ANSI code page has them
  EXPECT_TRUE(form.Savetext(path, text));
  EXPECT_EQ(Read(path), text + "\r\n");
  DeleteFileA(path.c_str());
}

TEST_F(Savetext, AMissingFolderIsReportedOnceAndLeavesNoFile) {
  const std::string folder = Folder() + "\\no such folder";
  RemoveDirectoryA(folder.c_str());
  const std::string path = folder + "\\register.bat";

  EXPECT_FALSE(form.Savetext(path, "pause"));

  EXPECT_EQ(toolkit.boxes,
            std::vector<std::string>{path + " " + WinToolkit::Describe(ERROR_PATH_NOT_FOUND)});
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(folder));
}

TEST_F(Savetext, AFolderGivenAsTheFileIsReportedAndLeftAlone) {
  const std::string folder = Folder() + "\\a folder";
  CreateDirectoryA(folder.c_str(), nullptr);

  EXPECT_FALSE(form.Savetext(folder, "pause"));

  ASSERT_EQ(toolkit.boxes.size(), 1u);
  EXPECT_EQ(toolkit.boxes[0].rfind(folder + " ", 0), 0u);
  EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace ravlin
