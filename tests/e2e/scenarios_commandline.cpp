// A file named on the command line, as a console, Explorer's "Open with" or a
// drop on the program's icon names it.
#include "Driver.h"

using namespace ravlin;

namespace e2e {
namespace {

SCENARIO(AFileOnTheCommandLineIsReadyForRegister) {
  // Started in the fixtures' folder, as from a console there, with a name of it.
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA((DriverDir() + "\\fixtures").c_str());
  {
    Session s("\"versioned.ocx\"");
    s.StartIdle();
    CheckEq(s.Text(IdText1), FixturePath("versioned.ocx"), "the file's full path, without the quotes");
    s.Click(IdCmdRegister);
    if (Check(WaitFor([&] { return s.Confirming(); }, 5000), "its registration asks for confirmation")) {
      CheckEq(s.Text(IdLblFileInfo), kVersionedSummary, "its summary");
      s.Click(IdCmdCancel);
    }
  }
  {
    Session s("*.ocx");  // files match it, but it names none: Register will say so
    s.StartIdle();
    CheckEq(s.Text(IdText1), "*.ocx", "the argument as given");
  }
  SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace e2e
