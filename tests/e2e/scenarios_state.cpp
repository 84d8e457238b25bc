// What is registered to a control, before and after: the line while
// confirming, and what changed after the outcome's first line.
#include "Driver.h"

#include <algorithm>

using namespace ravlin;

namespace e2e {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Wine's own scripting host: its classes point at it, and it can go and come back.
SCENARIO(WineScriptingHostShowsItsClassesAndWhatUnregisteringLeaves) {
  Session s;
  s.StartIdle();
  s.SetText(IdText1, SystemDirectory() + "\\wshom.ocx");
  const RegistrationRun out = s.RunRegistration(IdCmdUnregister);
  Check(out.state.rfind("Registered now: ", 0) == 0 && Contains(out.state, "and a type library, to this file."),
        "its classes and type library, while confirming: [" + out.state + "]");
  CheckEq(out.outcome, "Process completed\r\n\r\nNothing points to this file any more.", "after unregistering");

  // Registering again, step by step, for a picture of the outcome.
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdProceed), "confirming")) return;
  CheckEq(s.Text(IdLblState), "Not registered.", "while confirming, after the unregistration");
  s.Click(IdCmdProceed);
  CheckEq(s.TakeBox(), "WWW", "the question");
  const std::string outcome = s.WaitBox();
  s.Screenshot(ArtifactDir() + "\\outcome-registered.bmp", s.Box());
  s.DismissBox();
  Check(outcome.rfind("Process completed\r\n\r\nNow registered to this file:\r\nClasses: ", 0) == 0 &&
            Contains(outcome, "WScript.Shell"),
        "after registering, the classes by their names: [" + outcome + "]");
}

// The test control registers one real class with a ProgID. A copy of it,
// registered and then deleted, leaves a registration that points nowhere.
SCENARIO(AClassOfAMissingCopyIsNamedAndRegisteringMovesItHere) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-old-copy";
  const std::string copy = folder + "\\realclass.ocx";
  CreateDirectoryA(folder.c_str(), nullptr);
  if (!Check(CopyFileA(FixturePath("realclass.ocx").c_str(), copy.c_str(), FALSE), "the control copied")) return;

  Session s;
  s.StartIdle();
  s.SetText(IdText1, copy);
  Check(Contains(s.RunRegistration(IdCmdRegister).outcome, "Class: Ravlin.RealClass."), "the copy registered");
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());

  s.SetText(IdText1, FixturePath("realclass.ocx"));
  const RegistrationRun in = s.RunRegistration(IdCmdRegister);
  CheckEq(in.state, "Registered to another copy: " + copy + " (that file is missing).", "while confirming");
  CheckEq(in.outcome, "Process completed\r\n\r\nNow registered to this file:\r\nClass: Ravlin.RealClass.",
          "after registering");

  const RegistrationRun out = s.RunRegistration(IdCmdUnregister);
  CheckEq(out.state, "Registered now: 1 class, to this file.", "while confirming the unregistration");
  CheckEq(out.outcome, "Process completed\r\n\r\nNothing points to this file any more.", "after unregistering");
}

// A library whose export registers nothing: a fault where its type library
// declares a creatable class, plain information where it declares none.
SCENARIO(NothingRegisteredReadsAsAFaultOnlyWhereAClassWasExpected) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const char* const rows[][3] = {
      {"server.ocx", "provider.dll", "No class or type library points to this file."},
      {"described.ocx", "gauges.dll", "The control reported success, but nothing is registered to this file."}};
  for (const auto& row : rows) {
    const std::string file = std::string(temp) + row[1];
    if (!Check(CopyFileA(FixturePath(row[0]).c_str(), file.c_str(), FALSE), "copied as " + file)) continue;
    {
      Session s;
      s.StartIdle();
      s.SetText(IdText1, file);
      CheckEq(s.RunRegistration(IdCmdRegister).outcome, std::string("Process completed\r\n\r\n") + row[2], row[1]);
    }
    DeleteFileA(file.c_str());
  }
  DeleteRegistryKey("Software\\RavlinFixtures\\server");
  DeleteRegistryKey("Software\\RavlinFixtures\\described");
}

}  // namespace
}  // namespace e2e
