// Cabinets read through the system's cabinet library: listed, one member
// written, never over a file there, nothing left of a damaged one.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Fixtures.h"
#include "platform/win32/WinPlatform.h"

namespace ravlin {
namespace {

std::string Target() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "ravlin-cabinet-test.ocx";
}

uint64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST(Cabinet, ListsAndWritesOneMemberNeverOverAFile) {
  const std::string cabinet = Fixture("setup\\SETUP1.CAB"), target = Target();
  if (GetFileAttributesA(cabinet.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no gcab, no cabinet";
  DeleteFileA(target.c_str());
  WinPlatform platform;
  std::vector<CabinetMember> members;
  ASSERT_EQ(platform.ListCabinetA(cabinet.c_str(), &members), 1);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].name, "ravlinnowhere.ocx");
  EXPECT_EQ(platform.ExtractCabinetMemberA(cabinet.c_str(), 1, target.c_str()), 0) << "no second member";
  EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(platform.ExtractCabinetMemberA(cabinet.c_str(), 0, target.c_str()), 1);
  EXPECT_EQ(static_cast<int64_t>(SizeOf(target)), members[0].size);
  EXPECT_EQ(platform.ExtractCabinetMemberA(cabinet.c_str(), 0, target.c_str()), 0) << "the file is there";
  EXPECT_EQ(static_cast<int64_t>(SizeOf(target)), members[0].size);
  DeleteFileA(target.c_str());
}

TEST(Cabinet, ADamagedOneLeavesNothing) {
  const std::string cabinet = Fixture("setup\\BROKEN.CAB"), target = Target();
  if (GetFileAttributesA(cabinet.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no gcab, no cabinet";
  DeleteFileA(target.c_str());
  WinPlatform platform;
  EXPECT_EQ(platform.ExtractCabinetMemberA(cabinet.c_str(), 0, target.c_str()), 0);
  EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<CabinetMember> members;
  EXPECT_EQ(platform.ListCabinetA(Fixture("setup\\notacontrol.dll").c_str(), &members), 0) << "no cabinet";
}

}  // namespace
}  // namespace ravlin
