// The type-library reader against the test control whose library widl made:
// a control class and one that cannot be created, which the manifest leaves
// out. (That reading registers nothing is seen end to end.)
#include <gtest/gtest.h>
#include <windows.h>

#include "Fixtures.h"
#include "inspection/TypeLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "sidebyside/Manifest.h"

namespace ravlin {
namespace {

constexpr char kLibrary[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE20}";
constexpr char kGauge[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE22}";
constexpr char kGaugeReading[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE23}";

TEST(TypeLibraryUnderWine, TheManifestListsTheControlClassOnly) {
  WinPlatform platform;
  const TypeLibrary library = ReadTypeLibrary(platform, Fixture("described.ocx"));
  ASSERT_TRUE(library.Read()) << std::hex << library.result;
  EXPECT_EQ(library.libid + " " + library.name + " " + library.version, std::string(kLibrary) + " RavlinDescribed 2.10");
  ASSERT_EQ(library.classes.size(), 2u);
  EXPECT_EQ(library.classes[1].clsid, kGaugeReading);

  const std::string text = ManifestText({"client.exe", {{"described.ocx", library, {}}}});
  EXPECT_NE(text.find(std::string("<comClass clsid=\"") + kGauge + "\" tlbid=\"" + kLibrary +
                      "\" threadingModel=\"Apartment\" progid=\"RavlinDescribed.Gauge\" miscStatus=\"recomposeonresize,"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("flags=\"CONTROL"), std::string::npos) << text;
  EXPECT_EQ(text.find(kGaugeReading), std::string::npos) << text;
}

}  // namespace
}  // namespace ravlin
