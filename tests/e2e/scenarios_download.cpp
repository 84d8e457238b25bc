// The program unpacked into a folder where a library of a system name already lies.
#include "Driver.h"

using namespace ravlin;

namespace e2e {
namespace {

// Written when the planted version.dll's version functions run.
const char kPlantedKey[] = "Software\\RavlinFixtures\\planted";

// Wine takes its built-in copy of a system library whatever lies beside the
// program; Windows looks in the program's folder first for a name that is not
// a known DLL. While this lives, Wine does so for one library of one program
// (its per-program override, which a started program reads; the driver's
// environment does not reach Wine's loader). Nothing on Windows.
class ProgramFolderFirst {
 public:
  ProgramFolderFirst(const std::string& exeName, const char* dll)
      : key_(AppDefaultsKey(exeName) + "\\DllOverrides"), dll_(dll) {
    HKEY key = nullptr;
    if (!UnderWine() || RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                        &key, nullptr) != ERROR_SUCCESS)
      return;
    set_ = RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>("n,b"), 4) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~ProgramFolderFirst() {
    if (!set_) return;
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key_.c_str(), dll_);
    DeleteKeyIfEmpty(key_);
    DeleteKeyIfEmpty(key_.substr(0, key_.rfind('\\')));
  }
  ProgramFolderFirst(const ProgramFolderFirst&) = delete;
  ProgramFolderFirst& operator=(const ProgramFolderFirst&) = delete;

 private:
  std::string key_;
  const char* dll_;
  bool set_ = false;
};

SCENARIO(AVersionDllBesideTheProgramIsNeverUsed) {
  const std::string folder = DriverDir() + "\\downloads";
  const std::string program = folder + "\\ravlin.exe";
  const std::string planted = folder + "\\version.dll";
  CreateDirectoryA(folder.c_str(), nullptr);
  if (!Check(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE) &&
                 CopyFileA(FixturePath("plantedversion.dll").c_str(), planted.c_str(), FALSE),
             "the program and a version.dll lie together in " + folder))
    return;
  DeleteRegistryKey(kPlantedKey);
  {
    const ProgramFolderFirst windowsOrder("ravlin.exe", "version");
    Session s("", program);
    s.StartIdle();
    s.SetText(IdText1, FixturePath("versioned.ocx"));
    s.Click(IdCmdRegister);
    if (Check(WaitFor([&] { return s.Confirming(); }, 5000), "the confirmation buttons come up"))
      CheckEq(s.Text(IdLblFileInfo), kVersionedSummary, "the summary comes from the system's version library");
    s.Click(IdCmdCancel);
    Check(WaitFor([&] { return s.Idle(); }, 5000), "back to the idle buttons");
    s.Click(IdCmdExit);
    Check(s.WaitExit(), "Exit ends the program");
  }
  Check(!RegistryKeyExists(kPlantedKey), "the planted version.dll's code never ran for the program");
  DeleteRegistryKey(kPlantedKey);
  DeleteFileA(planted.c_str());
  DeleteFileA(program.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace e2e
