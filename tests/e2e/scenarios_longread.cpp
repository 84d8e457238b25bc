// A registry of many classes: the window goes on answering while the
// confirmation's line is read, Cancel and Proceed work meanwhile, and the
// lines come out as with few.
#include "Driver.h"

#include <cstdio>

using namespace ravlin;

namespace e2e {
namespace {

// Per-user classes of other files, removed again however the scenario ends.
class PlantedClasses {
 public:
  explicit PlantedClasses(int count) {
    for (; planted_ < count; ++planted_) {
      const std::string server = "C:\\Planted\\control" + std::to_string(planted_) + ".ocx";
      if (RegSetKeyValueA(HKEY_CURRENT_USER, (Key(planted_) + "\\InprocServer32").c_str(), nullptr, REG_SZ,
                          server.c_str(), static_cast<DWORD>(server.size() + 1)) != ERROR_SUCCESS)
        break;
    }
  }
  ~PlantedClasses() {  // and the one whose planting failed, if any
    for (int i = 0; i <= planted_; ++i) RegDeleteTreeA(HKEY_CURRENT_USER, Key(i).c_str());
  }
  PlantedClasses(const PlantedClasses&) = delete;
  PlantedClasses& operator=(const PlantedClasses&) = delete;
  int planted() const { return planted_; }

 private:
  static std::string Key(int i) {
    char clsid[40];
    std::snprintf(clsid, sizeof(clsid), "{5EED0000-7C41-4F0E-9D2A-%012X}", static_cast<unsigned>(i));
    return std::string("Software\\Classes\\CLSID\\") + clsid;
  }
  int planted_ = 0;
};

// Whether the window paints again, in time, all of it made invalid.
bool Repaints(HWND window, DWORD timeoutMs) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  return WaitFor([&] { return !GetUpdateRect(window, nullptr, FALSE); }, timeoutMs, 10);
}

SCENARIO(TwentyThousandClassesLeaveTheWindowAnsweringWhileItsLineIsRead) {
  const int count = 20000;
  const PlantedClasses planted(count);
  if (!Check(planted.planted() == count, "20,000 classes planted")) return;

  Session s;
  s.StartIdle();
  s.SetText(IdText1, FixturePath("realclass.ocx"));
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdProceed, true, 2000), "confirming before the whole registry is read")) return;
  Check(s.Text(IdLblState).empty(), "no line yet while it is read: [" + s.Text(IdLblState) + "]");
  Check(Repaints(s.Main(), 1000), "the window repaints while the line is read");
  Check(s.Responds(500), "the window answers while the line is read");
  s.Click(IdCmdCancel);
  Check(WaitFor([&] { return s.Idle(); }, 1000), "Cancel works while the line is read");
  Sleep(3000);  // long enough for the read that was cancelled to have ended
  CheckEq(s.Text(IdLblState), "", "the cancelled read's line never shows");

  const RegistrationRun in = s.RunRegistration(IdCmdRegister);
  CheckEq(in.state, "Not registered.", "while confirming");
  CheckEq(in.outcome, "Process completed\r\n\r\nNow registered to this file:\r\nClass: Ravlin.RealClass.",
          "after registering");
  // Proceed while the line is still being read: it does not wait for it.
  s.Click(IdCmdUnregister);
  if (!Check(s.WaitVisible(IdCmdProceed, true, 2000), "confirming the unregistration")) return;
  Check(s.Text(IdLblState).empty(), "Proceed pressed before the line is read");
  s.Click(IdCmdProceed);
  CheckEq(s.TakeBox(), "WWW", "the question");
  CheckEq(s.TakeBox(60000), "Process completed\r\n\r\nNothing points to this file any more.", "after unregistering");
  Check(WaitFor([&] { return s.Idle(); }, 2000) && s.Text(IdLblState).empty(), "idle again, the line gone");
}

}  // namespace
}  // namespace e2e
