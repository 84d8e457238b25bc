// Input a hostile user or file can give: odd registry values, damaged
// headers, a file swapped while confirming, a close during the wait, odd
// command lines. Each row is the smallest input that shows its case.
#include "Driver.h"

using namespace ravlin;

namespace e2e {
namespace {

const char kTestClass[] = "Software\\Classes\\CLSID\\{7A3B1C55-0D2E-4F61-9A8B-25C0FFEE0025}";

// A class of the user's whose server is value; removed when it goes.
class PlantedClass {
 public:
  explicit PlantedClass(const std::string& value) {
    HKEY key = nullptr;
    const std::string path = std::string(kTestClass) + "\\InprocServer32";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  ~PlantedClass() {
    DeleteRegistryKey(std::string(kTestClass) + "\\InprocServer32");
    DeleteRegistryKey(kTestClass);
  }
  PlantedClass(const PlantedClass&) = delete;
  PlantedClass& operator=(const PlantedClass&) = delete;
};

// The window answers Register with the file's state in time.
void ConfirmsInTime(Session& s, const std::string& file, const std::string& what) {
  s.SetText(IdText1, file);
  s.Click(IdCmdRegister);
  Check(s.WaitVisible(IdCmdProceed, true, 8000), what + ": confirming in time");
  Check(s.Responds(), what + ": the window answers");
}

void OversizedValue() {
  const PlantedClass planted(std::string(33000, 'a') + "%SystemRoot%.ocx");
  Session s;
  s.StartIdle();
  ConfirmsInTime(s, FixturePath("versioned.ocx"), "a 33,000-character value");
  CheckEq(s.Text(IdLblState), "Not registered.", "the value is skipped, the rest read");
}

struct Row {
  const char* name;
  void (*run)();
};

SCENARIO(HostileInputIsBoundedRefusedOrTold) {
  const Row rows[] = {
      {"an oversized registry value", &OversizedValue},
  };
  for (const Row& row : rows) {
    std::printf("  %s\n", row.name);
    row.run();
  }
}

}  // namespace
}  // namespace e2e
