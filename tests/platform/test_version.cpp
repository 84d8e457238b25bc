// The version reader against real files through the real version library.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fixtures.h"
#include "FormProbe.h"
#include "inspection/VersionSummary.h"
#include "inspection/VersionBlock.h"
#include "platform/win32/WinPlatform.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// The reader needs no toolkit service; any call is a fault.
class NoToolkit : public Toolkit {
 public:
  void MsgBox(const std::string& prompt) override { Unexpected("MsgBox " + prompt); }
  std::string BrowseForFolder(const std::string&, const std::string&) override {
    Unexpected("BrowseForFolder");
    return {};
  }
  void DoEvents() override { Unexpected("DoEvents"); }
  std::string AppPath() override { return Unexpected("AppPath"), std::string(); }
  std::string Command() override { return Unexpected("Command"), std::string(); }
  std::string Dir(const std::string&) override { return Unexpected("Dir"), std::string(); }
  int FreeFile() override { return Unexpected("FreeFile"), 0; }
  void OpenForInput(int, const std::string&) override { Unexpected("OpenForInput"); }
  void OpenForOutput(int, const std::string&) override { Unexpected("OpenForOutput"); }
  void Print(int, const std::string&) override { Unexpected("Print"); }
  void Close(int) override { Unexpected("Close"); }
  void SetMousePointer(MousePointer) override { Unexpected("SetMousePointer"); }
  void SetTimer(uint32_t, std::function<void()>) override { Unexpected("SetTimer"); }
  void Unload() override { Unexpected("Unload"); }
  void End() override { Unexpected("End"); }

 private:
  static void Unexpected(const std::string& call) {
    ADD_FAILURE() << "toolkit called: " << call;
    throw ToolkitError("unexpected toolkit call");
  }
};

struct Form {
  NoToolkit toolkit;
  WinPlatform platform;
  frmRavlin form{toolkit, platform};
};

struct FileCase {
  const char* file;
  bool result;
  std::string company;
  std::string version;
};

TEST(ReadVersionInfoOnWindows, GivesEachFilesCompanyVersionAndResult) {
  const std::vector<FileCase> cases = {
      {"version16.dll", true, "Ravlin Test Controls Incorporated", "4.2.1.7"},
      {"version8.dll", true, "Ravlin Narrow Block Works", "3.1.4"},
      {"noversion.dll", false, "", ""},
      {"missing.dll", false, "", ""},
  };
  WinPlatform platform;
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.file);
    const VersionSummary summary = ReadVersionSummary(platform, Fixture(c.file));
    EXPECT_EQ(summary.HasVersion(), c.result);
    EXPECT_EQ(summary.blockRead, c.result);
    EXPECT_EQ(summary.company, c.company);
    EXPECT_EQ(summary.version, c.version);
    if (c.result) EXPECT_NE(summary.readResult.value_or(0), 0);
  }
}

TEST(ReadVersionInfoOnWindows, TheLibraryHandsBackTheBlockInTheFormTheFileStores) {
  struct Case {
    const char* file;
    BlockForm form;
  };
  for (const Case& c : {Case{"version16.dll", BlockForm::Wide}, Case{"version8.dll", BlockForm::Narrow}}) {
    SCOPED_TRACE(c.file);
    const std::string path = Fixture(c.file);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_NE(GetFileVersionInfoA(path.c_str(), 0, size, &block[0]), 0);
    EXPECT_EQ(FormOf(block), c.form);
  }
}

TEST(ShowFileInfoOnWindows, SummarisesARealFile) {
  Form f;
  FormProbe::ShowFileInfo(f.form, Fixture("version16.dll"));
  EXPECT_TRUE(f.form.lblPleaseVerify.Visible());
  EXPECT_EQ(f.form.lblFileInfo.Caption(),
            "Company Name:  Ravlin Test Controls Incorporated\r\nProduct Version:  4.2.1.7");
  FormProbe::ShowFileInfo(f.form, Fixture("noversion.dll"));
  EXPECT_FALSE(f.form.lblPleaseVerify.Visible());
  EXPECT_EQ(f.form.lblFileInfo.Caption(), "(No Product Version available for this file)");
}

}  // namespace
}  // namespace ravlin
