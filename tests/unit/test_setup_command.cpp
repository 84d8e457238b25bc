// /install and /to on the command line.
#include <gtest/gtest.h>

#include "cli/SilentRequest.h"

namespace ravlin {
namespace {

TEST(SetupCommand, InstallTakesASetupFolderAndWhereTheProgramGoes) {
  const SilentRequest request = ReadSilentRequest("/s /install \"D:\\old setup\" /to C:\\Apps\\Old");
  EXPECT_EQ(request.mode, SilentRequest::Mode::Register);
  EXPECT_TRUE(request.install);
  EXPECT_EQ(request.file, "D:\\old setup");
  EXPECT_EQ(request.to, "C:\\Apps\\Old");
  EXPECT_EQ(ReadSilentRequest("/s /u /install D:\\setup").mode, SilentRequest::Mode::Unregister);
  EXPECT_EQ(ReadSilentRequest("/list /install D:\\setup").mode, SilentRequest::Mode::List);
  EXPECT_EQ(ReadSilentRequest("/s /install D:\\setup /to").problem, "No folder after /to.");
  EXPECT_EQ(ReadSilentRequest("/s a.ocx /to C:\\x").problem, "/to goes with /install.");
  EXPECT_EQ(ReadSilentRequest("/s /install /manifest D:\\setup").problem, "/install takes no /manifest or /companion.");
}

}  // namespace
}  // namespace ravlin
