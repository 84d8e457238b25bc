// What is taken out of an untrusted cabinet, and what is left when a member
// cannot be written: the names, the size limit, all or nothing.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "registration/CabinetTake.h"

namespace ravlin {
namespace {

constexpr char kCabinet[] = "C:\\setup\\SETUP1.CAB";
constexpr char kFolder[] = "C:\\Temp\\ravlin-setup-4242-1";

TEST(CabinetTake, NamesSizesAndCleanUp) {
  using Written = std::map<std::string, std::string>;  // file made -> the member it came from
  const std::string at = std::string(kFolder) + "\\";
  const struct {
    const char* what;
    std::vector<CabinetMember> members;
    std::vector<std::string> wanted;
    std::vector<uint32_t> failing;
    bool whole;
    Written written;
  } rows[] = {
      {"a member's folder is dropped", {{"sub\\..\\..\\A.OCX", 10}}, {"a.ocx"}, {}, true,
       {{at + "a.ocx", "sub\\..\\..\\A.OCX"}}},
      {"a name not asked for stays", {{"EVIL.DLL", 10}, {"B.OCX", 10}}, {"B.OCX"}, {}, true, {{at + "B.OCX", "B.OCX"}}},
      {"a name asked twice is taken once", {{"c.ocx", 1}, {"C.OCX", 2}}, {"C.OCX", "c.ocx"}, {}, true,
       {{at + "C.OCX", "c.ocx"}}},
      {"case does not matter, the wanted spelling is kept", {{"comdlg32.OCX", 1}}, {"COMDLG32.ocx"}, {}, true,
       {{at + "COMDLG32.ocx", "comdlg32.OCX"}}},
      {"one past the limit is passed over for the next", {{"x\\D.OCX", kLargestMember + 1}, {"y\\D.OCX", kLargestMember}},
       {"D.OCX"}, {}, true, {{at + "D.OCX", "y\\D.OCX"}}},
      {"a size below zero is passed over", {{"E.OCX", -1}}, {"E.OCX"}, {}, true, {}},
      {"a later member failing takes the earlier away", {{"F.OCX", 1}, {"G.OCX", 1}}, {"F.OCX", "G.OCX"}, {1}, false,
       {}},
      {"nothing wanted is there", {{"H.OCX", 1}}, {"I.OCX"}, {}, true, {}},
  };
  for (const auto& row : rows) {
    CallLog log;
    FakePlatform platform(log);
    platform.cabinets[kCabinet] = row.members;
    platform.failMembers = row.failing;
    std::vector<std::string> written{"EARLIER.OCX"};
    EXPECT_EQ(TakeFromCabinet(platform, kCabinet, row.wanted, kFolder, &written), row.whole) << row.what;
    EXPECT_EQ(platform.extracted, row.written) << row.what;
    std::vector<std::string> names{"EARLIER.OCX"};
    if (row.whole)
      for (const auto& made : row.written) names.push_back(made.first.substr(at.size()));
    EXPECT_EQ(written, names) << row.what;
  }
}

TEST(CabinetTake, NoCabinetWritesNothing) {
  CallLog log;
  FakePlatform platform(log);
  std::vector<std::string> written;
  EXPECT_FALSE(TakeFromCabinet(platform, kCabinet, {"A.OCX"}, kFolder, &written));
  EXPECT_TRUE(written.empty() && platform.extracted.empty());
}

}  // namespace
}  // namespace ravlin
