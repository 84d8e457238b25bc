#include <gtest/gtest.h>

#include "cli/SilentRequest.h"

namespace ravlin {
namespace {

// The request in a line: its mode's number, then what it names.
std::string Described(const SilentRequest& request) {
  if (request.mode == SilentRequest::Mode::Usage) return "usage: " + request.problem;
  return std::to_string(static_cast<int>(request.mode)) + (request.companion ? " companion" : "") +
         (request.replace ? " replace" : "") + " [" +
         request.file + "] out [" + request.out + "]";
}

struct RequestCase {
  const char* commandLine;
  const char* request;  // modes: 0 window, 2 register, 3 unregister, 4 manifest, 5 list
};

class ReadsTheCommandLine : public ::testing::TestWithParam<RequestCase> {};

TEST_P(ReadsTheCommandLine, AsAScriptMeansIt) {
  EXPECT_EQ(Described(ReadSilentRequest(GetParam().commandLine)), GetParam().request) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadsTheCommandLine,
    ::testing::Values(
        // Without /s or /list the window opens, whatever else is there.
        RequestCase{"/u /out x.txt a.ocx b.ocx", "0 [] out []"},
        RequestCase{"/s a.ocx", "2 [a.ocx] out []"},
        RequestCase{"/U \"C:\\my controls\\a.ocx\" /S", "3 [C:\\my controls\\a.ocx] out []"},
        RequestCase{"/s /manifest app.exe /out \"r e.txt\"", "4 [app.exe] out [r e.txt]"},
        RequestCase{"/LIST app.exe", "5 [app.exe] out []"},
        RequestCase{"/s /u /companion /out r.txt", "3 companion [] out [r.txt]"},
        RequestCase{"/s /x a.ocx", "usage: Unknown switch: /x"},
        RequestCase{"-s -U a.ocx", "3 [a.ocx] out []"},  // as regsvr32 takes them
        RequestCase{"/list a.ocx /out r.txt /out a.ocx", "usage: /out named twice."},
        RequestCase{"/s", "usage: No file named."},
        RequestCase{"/s /REPLACE /install setup", "2 replace [setup] out []"},
        RequestCase{"/s /u /install setup /replace", "usage: /replace goes with /install, not with /u."},
        RequestCase{"/list a.ocx /replace", "usage: /replace goes with /install, not with /u."},
        RequestCase{"/list a.ocx /out", "usage: No file after /out."},
        RequestCase{"/s a.ocx b.ocx", "usage: Two files named."},
        RequestCase{"/s /list a.ocx", "usage: /s or /list, not both."},
        RequestCase{"/list /u a.ocx", "usage: /list takes no switch but /out."},
        RequestCase{"/s /u /manifest app.exe", "usage: /manifest takes no /u or /companion."},
        RequestCase{"/s /companion a.ocx", "usage: /companion takes no file."}));

}  // namespace
}  // namespace ravlin
