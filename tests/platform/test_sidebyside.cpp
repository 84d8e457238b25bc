// The type library reader and the manifest writer against real files under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Fixtures.h"
#include "inspection/TypeLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "sidebyside/ManifestWriter.h"

namespace ravlin {
namespace {

constexpr char kDescribedLibrary[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE20}";
constexpr char kGauge[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE22}";
constexpr char kGaugeReading[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE23}";

bool TypeLibraryRegistered(const char* libid) {
  HKEY key = nullptr;
  const std::string path = std::string("TypeLib\\") + libid;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string Contents(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(TypeLibraryUnderWine, ReadsTheTestControlsLibraryWithoutRegisteringIt) {
  WinPlatform platform;
  const TypeLibrary library = ReadTypeLibrary(platform, Fixture("described.ocx"));
  ASSERT_TRUE(library.Read()) << std::hex << library.result;
  EXPECT_EQ(library.libid, kDescribedLibrary);
  EXPECT_EQ(library.name, "RavlinDescribed");
  EXPECT_EQ(library.version, "2.10");
  EXPECT_TRUE(library.flags & kLibFlagControl);
  ASSERT_EQ(library.classes.size(), 2u);
  EXPECT_EQ(library.classes[0].clsid, kGauge);
  EXPECT_EQ(library.classes[0].name, "Gauge");
  EXPECT_TRUE(library.classes[0].creatable && library.classes[0].control);
  EXPECT_EQ(library.classes[1].clsid, kGaugeReading);
  EXPECT_FALSE(library.classes[1].creatable || library.classes[1].control);
  EXPECT_FALSE(TypeLibraryRegistered(kDescribedLibrary));

  EXPECT_FALSE(ReadTypeLibrary(platform, Fixture("server.ocx")).Read());
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const TypeLibrary host = ReadTypeLibrary(platform, std::string(system) + "\\wshom.ocx");
  EXPECT_EQ(host.name, "IWshRuntimeLibrary");
  EXPECT_TRUE(host.DeclaresCreatableClass());
}

// A program folder with a copy of a program that carries no manifest of its
// own, and a folder elsewhere holding the controls, as the system folder would.
class ManifestWriterUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (sizeof(void*) == 8) GTEST_SKIP() << "this build's test controls are 64-bit; the manifest is for x86";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "ravlin-sxs";
    Clean();
    CreateDirectoryA(root_.c_str(), nullptr);
    CreateDirectoryA(program_folder().c_str(), nullptr);
    CreateDirectoryA(elsewhere().c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(Fixture("exeserver.exe").c_str(), program().c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Fixture("described.ocx").c_str(), (elsewhere() + "\\described.ocx").c_str(), FALSE));
  }
  void TearDown() override { Clean(); }

  void Clean() {
    for (const std::string& folder : {program_folder(), elsewhere()}) {
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) continue;
      do DeleteFileA((folder + "\\" + found.cFileName).c_str());
      while (FindNextFileA(search, &found));
      FindClose(search);
      RemoveDirectoryA(folder.c_str());
    }
    RemoveDirectoryA(root_.c_str());
  }

  std::string program_folder() const { return root_ + "\\app"; }
  std::string elsewhere() const { return root_ + "\\system"; }
  std::string program() const { return program_folder() + "\\client.exe"; }
  std::string manifest() const { return program() + ".manifest"; }

  ManifestResult Write(const std::vector<NeededControl>& controls) {
    return WriteManifest(platform_, program(), controls);
  }

  WinPlatform platform_;
  std::string root_;
};

// A control named twice (one entry per class a program uses) is listed once.
TEST_F(ManifestWriterUnderWine, CopiesTheControlBesideAndListsOnlyWhatCanBeCreated) {
  const std::string source = elsewhere() + "\\described.ocx";
  const ManifestResult result = Write(
      {{"DESCRIBED.OCX", source}, {"GONE.OCX", ""}, {"SERVER.OCX", Fixture("server.ocx")},
       {"OTHERARCH.OCX", Fixture("otherarch.ocx")}, {"described.ocx", source}});
  ASSERT_EQ(result.kind, ManifestResult::Kind::Written);
  EXPECT_EQ(result.covered, std::vector<std::string>{"described.ocx"});
  EXPECT_EQ(result.copied, std::vector<std::string>{program_folder() + "\\described.ocx"});
  EXPECT_TRUE(Exists(source)) << "copied, not moved";
  ASSERT_EQ(result.leftOut.size(), Exists(Fixture("otherarch.ocx")) ? 3u : 2u);
  EXPECT_EQ(result.leftOut[0].reason, LeftOutControl::Reason::NotFound);
  EXPECT_EQ(result.leftOut[1].reason, LeftOutControl::Reason::NoTypeLibrary);
  if (result.leftOut.size() == 3) EXPECT_EQ(result.leftOut[2].reason, LeftOutControl::Reason::Not32Bit);

  const std::string text = Contents(manifest());
  EXPECT_NE(text.find(std::string("<comClass clsid=\"") + kGauge), std::string::npos) << text;
  EXPECT_EQ(text.find(kGaugeReading), std::string::npos) << text;
  EXPECT_FALSE(TypeLibraryRegistered(kDescribedLibrary));

  // Again: the first manifest is kept; a third time both are there, and nothing is touched.
  const ManifestResult again = Write({{"DESCRIBED.OCX", source}});
  EXPECT_EQ(again.kind, ManifestResult::Kind::Written);
  EXPECT_EQ(again.keptAs, manifest() + ".bak");
  EXPECT_TRUE(again.copied.empty()) << "the same file is beside the program already";
  EXPECT_EQ(Contents(manifest() + ".bak"), text);
  EXPECT_EQ(Write({{"DESCRIBED.OCX", source}}).kind, ManifestResult::Kind::BackupInTheWay);
}

TEST_F(ManifestWriterUnderWine, RefusesToReplaceAnotherFileOfTheControlsName) {
  const std::string beside = program_folder() + "\\described.ocx";
  ASSERT_TRUE(CopyFileA(Fixture("server.ocx").c_str(), beside.c_str(), FALSE));
  const ManifestResult result = Write({{"DESCRIBED.OCX", elsewhere() + "\\described.ocx"}});
  EXPECT_EQ(result.kind, ManifestResult::Kind::NothingDescribed);
  ASSERT_EQ(result.leftOut.size(), 1u);
  EXPECT_EQ(result.leftOut[0].reason, LeftOutControl::Reason::DifferentCopy);
  EXPECT_EQ(result.leftOut[0].path, beside);
  EXPECT_EQ(Contents(beside), Contents(Fixture("server.ocx")));
  EXPECT_FALSE(Exists(manifest()));
}

TEST_F(ManifestWriterUnderWine, WritesNothingForAProgramThatCarriesItsOwnManifest) {
  ASSERT_TRUE(CopyFileA((ExeFolder() + "\\ravlin.exe").c_str(), program().c_str(), FALSE));
  const ManifestResult result = Write({{"DESCRIBED.OCX", elsewhere() + "\\described.ocx"}});
  EXPECT_EQ(result.kind, ManifestResult::Kind::OwnManifest);
  EXPECT_FALSE(Exists(manifest()));
  EXPECT_FALSE(Exists(program_folder() + "\\described.ocx"));
}

}  // namespace
}  // namespace ravlin
