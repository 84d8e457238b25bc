// A program tried under Wine: started in its own folder, and what the watch
// sees of it. The programs it leaves running are ended here.
#include <gtest/gtest.h>
#include <windows.h>

#include "Fixtures.h"
#include "platform/win32/WinPlatform.h"
#include "registration/TryProgram.h"

namespace ravlin {
namespace {

TEST(TryProgram, SeesTheWindowTheRegistrationBoxOrTheExitCodeOfAProgramStartedInItsOwnFolder) {
  using K = TryOutcome::Kind;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-tryit";
  CreateDirectoryA(folder.c_str(), nullptr);
  const struct {
    const char* name;
    K kind;
    uint32_t code;
    std::string text;
  } cases[] = {
      {"tryit-window.exe", K::OpenedWindow, 0, ""},
      {"tryit-box.exe", K::RegistrationError, 0,
       "Component 'tryit.ocx' or one of its dependencies not correctly registered: a file is missing or invalid"},
      {"tryit.exe", K::Ended, 3, ""},  // 2 had it started elsewhere
      {"gone.exe", K::NotStarted, ERROR_FILE_NOT_FOUND, ""},
  };
  WinPlatform platform;
  for (const auto& c : cases) {
    const std::string program = folder + "\\" + c.name;
    if (c.kind != K::NotStarted) ASSERT_TRUE(CopyFileA(Fixture("tryit.exe").c_str(), program.c_str(), FALSE));
    const TryOutcome outcome = TryProgram(platform, program);
    EXPECT_EQ(outcome.kind, c.kind) << c.name;
    EXPECT_EQ(outcome.code, c.code) << c.name;
    if (c.kind != K::NotStarted) EXPECT_EQ(outcome.text, c.text) << c.name;
    HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, outcome.processId);
    if (left) {
      TerminateProcess(left, 0);
      WaitForSingleObject(left, 5000);
      CloseHandle(left);
    }
    DeleteFileA(program.c_str());
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace ravlin
