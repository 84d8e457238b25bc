// Files that are no self-registering controls, and controls that fail in
// ways regsvr32 leaves unexplained: each message names what the file is and
// what to do, after the first line the program has always shown.
#include "Driver.h"

using namespace ravlin;

namespace e2e {
namespace {

const std::string kNoEntry = "Process failed in obtaining entry point or creating thread.\r\n\r\n";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

SCENARIO(EachFileThatIsNoControlOrFailsOddlySaysWhatItIsAndWhy) {
  struct Case {
    const char* fixture;
    ControlId button;
    std::string message;  // whole, or its beginning where the system's words follow
    bool whole;
  };
  const std::string dotnet = FixturePath("dotnet.dll");
  const std::string dllinstall = FixturePath("dllinstall.dll");
  const Case cases[] = {
      // Told from its headers before loading: under Wine it would not even load.
      {"dotnet.dll", IdCmdRegister,
       kNoEntry + "It is a .NET assembly, not a self-registering control: register it with RegAsm (regasm /codebase " +
           Quoted(dotnet) + ") from the .NET Framework.",
       true},
      {"exeserver.exe", IdCmdRegister,
       kNoEntry + "It is a program (EXE), not a library: run it with /RegServer to register it.", true},
      {"exeserver.exe", IdCmdUnregister,
       kNoEntry + "It is a program (EXE), not a library: run it with /UnregServer to unregister it.", true},
      {"dllinstall.dll", IdCmdRegister,
       kNoEntry + "It has no DllRegisterServer export, but it has DllInstall: register it with regsvr32 /i /n " +
           Quoted(dllinstall) + ".",
       true},
      {"plain.dll", IdCmdUnregister,
       kNoEntry + "It has no DllUnregisterServer export: it is not a self-registering control.", true},
      {"exitthread.ocx", IdCmdRegister,
       "Process failed: the control ended its thread without returning from DllRegisterServer (exit code 7).", true},
      // The exception is raised by a system library; the control is the one to blame.
      {"cppthrow.ocx", IdCmdRegister,
       "Process failed: a C++ exception was thrown out of DllRegisterServer of cppthrow.ocx (exception 0xE06D7363).",
       true},
      {"dllmainfalse.ocx", IdCmdRegister,
       "Failure loading control DLL\r\n\r\nThe control's own start-up code (DllMain) refused to load (error 1114).",
       true},
      // The system's words for it, where it has some; the program's own otherwise.
      {"changedmode.ocx", IdCmdRegister, "Process failed with error code 0x80010106\r\n", false},
  };
  Session s;
  s.StartIdle();
  for (const Case& c : cases) {
    const std::string what = std::string(c.fixture) + (c.button == IdCmdRegister ? ", Register" : ", Unregister");
    s.SetText(IdText1, FixturePath(c.fixture));
    const RegistrationRun run = s.RunRegistration(c.button);
    if (c.whole)
      CheckEq(run.outcome, c.message, what);
    else
      Check(run.outcome.rfind(c.message, 0) == 0 && run.outcome.size() > c.message.size(), what + ": " + run.outcome);
    Check(run.backToIdle, what + ": idle again");
  }
  // Refused before loading: its export, which would write this key, never ran.
  Check(!RegistryKeyExists("Software\\RavlinFixtures\\dotnet"), "the .NET assembly was not loaded");
  for (const char* key : {"exitthread", "cppthrow", "changedmode"})
    DeleteRegistryKey(std::string("Software\\RavlinFixtures\\") + key);
  Check(s.Responds(), "the program goes on");
}

}  // namespace
}  // namespace e2e
