#include <gtest/gtest.h>

#include <cstring>

#include "Fakes.h"

namespace ravlin {
namespace {

TEST(is64, OnlyX64AndItaniumCountAs64Bit) {
  const struct {
    uint16_t code;
    bool expected;
  } cases[] = {{kArchitectureAmd64, true}, {kArchitectureIa64, true},    {kArchitectureIntel, false},
               {kArchitectureArm, false},  {kArchitectureArm64, false},  {kArchitectureUnknown, false},
               {1, false},                 {0x0109, false}};
  for (const auto& c : cases) {
    FakeWindow w;
    w.platform.architecture = c.code;
    EXPECT_EQ(w.form.is64(), c.expected) << "architecture " << c.code;
  }
}

TEST(is64, ClearsTheRecordBeforeTheCall) {
  FakeWindow w;
  // A platform that writes nothing leaves the cleared record: code 0, not 64-bit.
  w.platform.onGetNativeSystemInfo = [](SystemInfo* info) {
    EXPECT_EQ(info->wProcessorArchitecture, 0);
  };
  EXPECT_FALSE(w.form.is64());
}

TEST(GetSystemPath, CutsAtTheFirstNulOfA260CharacterBuffer) {
  FakeWindow w;
  w.platform.onGetSystemDirectoryA = [](char* buffer, uint32_t size) -> uint32_t {
    EXPECT_EQ(size, 260u);
    for (uint32_t i = 0; i < size; ++i) EXPECT_EQ(buffer[i], '\0');
    std::memcpy(buffer, "D:\\WIN\\system32\0junk", 20);
    return 15;
  };
  EXPECT_EQ(w.form.GetSystemPath(), "D:\\WIN\\system32");
  EXPECT_EQ(w.log.entries, (std::vector<std::string>{"GetSystemDirectoryA:260"}));
}

TEST(GetSystemPath, FailureAndTooLongAnAnswerGiveEmpty) {
  FakeWindow w;
  w.platform.onGetSystemDirectoryA = [](char* buffer, uint32_t) -> uint32_t {
    buffer[0] = 'X';  // whatever a failing call left behind
    return 0;
  };
  EXPECT_EQ(w.form.GetSystemPath(), "");

  // More than 259 characters: the platform reports the size it needs and writes nothing.
  w.platform.onGetSystemDirectoryA = nullptr;
  w.platform.systemDirectory = "C:\\" + std::string(300, 'x');
  EXPECT_EQ(w.form.GetSystemPath(), "");

  w.platform.systemDirectory = "C:\\" + std::string(256, 'y');  // 259 characters fit
  EXPECT_EQ(w.form.GetSystemPath(), w.platform.systemDirectory);
}

TEST(GetSystemPath, ABufferWithoutNulIsNotTakenAsAPath) {
  FakeWindow w;
  w.platform.onGetSystemDirectoryA = [](char* buffer, uint32_t size) -> uint32_t {
    std::memset(buffer, 'z', size);
    return size;
  };
  EXPECT_EQ(w.form.GetSystemPath(), "");
}

TEST(IsFileThere, OpensForInputAndClosesAgain) {
  FakeWindow w;
  w.toolkit.files["C:\\x.ocx"] = "";
  EXPECT_TRUE(w.form.IsFileThere("C:\\x.ocx"));
  EXPECT_EQ(w.log.entries, (std::vector<std::string>{"OpenForInput:C:\\x.ocx", "Close"}));
  EXPECT_EQ(w.toolkit.OpenFiles(), 0u);
}

TEST(IsFileThere, EveryFailureIsFalseAndNothingIsLeftOpen) {
  FakeWindow w;
  w.toolkit.files["C:\\locked.ocx"] = "";
  w.toolkit.failOpen["C:\\locked.ocx"] = "Permission denied";
  w.toolkit.failOpen["C:\\dir"] = "Path/File access error";
  w.toolkit.failOpen[""] = "Bad file name or number";
  for (const char* spec : {"C:\\locked.ocx", "C:\\dir", "", "C:\\missing.ocx", "C:\\*.ocx"}) {
    EXPECT_FALSE(w.form.IsFileThere(spec)) << spec;
  }
  EXPECT_EQ(w.log.Find("Close"), -1);
  EXPECT_EQ(w.toolkit.OpenFiles(), 0u);
  EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST(IsFileThere, NoFreeFileNumberIsFalse) {
  FakeWindow w;
  w.toolkit.files["C:\\x.ocx"] = "";
  w.toolkit.onFreeFile = [] { throw ToolkitError("Too many files"); };
  EXPECT_FALSE(w.form.IsFileThere("C:\\x.ocx"));
  EXPECT_EQ(w.log.FindPrefix("OpenForInput"), -1);
}

TEST(QBColor, GreenAndLightRedOfTheClassicPalette) {
  EXPECT_EQ(QBColor(2), (Color{0, 128, 0}));
  EXPECT_EQ(QBColor(12), (Color{255, 0, 0}));
  EXPECT_EQ(QBColor(0), (Color{0, 0, 0}));
  EXPECT_EQ(QBColor(15), (Color{255, 255, 255}));
  EXPECT_THROW(QBColor(16), ToolkitError);
  EXPECT_THROW(QBColor(-1), ToolkitError);
}

}  // namespace
}  // namespace ravlin
