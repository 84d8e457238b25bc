// Any file name: controls in folders named in other scripts, and a path
// pasted in the double quotes that Explorer's "Copy as path" adds.
#include "Driver.h"

using namespace ravlin;

namespace e2e {
namespace {

std::string TempFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// The file whose export wrote the versioned fixture's key.
std::string RegisteredModule() {
  char value[MAX_PATH * 3] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, kVersionedKey, "Module", RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS)
    return {};
  return value;
}

void RegisterAndUnregisterIn(const std::string& folderName, const std::string& fileName, bool quoted,
                             const std::string& screenshot) {
  const std::string folder = TempFolder(folderName);
  const std::string control = folder + "\\" + fileName;
  if (!Check(CopyFileA(FixturePath("versioned.ocx").c_str(), control.c_str(), FALSE),
             "the control copied to " + control))
    return;
  DeleteRegistryKey(kVersionedKey);
  {
    Session s;
    s.StartIdle();
    s.SetText(IdText1, quoted ? "\"" + control + "\"" : control);
    {  // a look at the names, with the lower section dragged into view
      RECT frame;
      GetWindowRect(s.Main(), &frame);
      SetWindowPos(s.Main(), nullptr, 0, 0, frame.right - frame.left,
                   (frame.bottom - frame.top) * 2 + 40, SWP_NOMOVE | SWP_NOZORDER);
      Sleep(400);
      s.Screenshot(ArtifactDir() + "\\" + screenshot, s.Main());
    }

    const RegistrationRun registered = s.RunRegistration(IdCmdRegister);
    CheckEq(registered.summary, kVersionedSummary, "the summary of " + control);
    CheckEq(registered.outcome, "Process completed", "registering " + control);
    CheckEq(RegisteredModule(), control, "the registered file");
    const RegistrationRun unregistered = s.RunRegistration(IdCmdUnregister);
    CheckEq(unregistered.outcome, "Process completed", "unregistering " + control);
    Check(!RegistryKeyExists(kVersionedKey), "unregistered from " + folderName);

  }  // the program ends, and lets go of the file, before it is removed
  DeleteFileA(control.c_str());
  RemoveDirectoryA(folder.c_str());
}

SCENARIO(ControlsInFoldersNamedInAnyScriptRegister) {
  // The list shows a control named in Cyrillic too, in the screenshot.
  const std::string listed = SystemDirectory() + u8"\\элемент.ocx";
  CopyFileA(FixturePath("plain.dll").c_str(), listed.c_str(), FALSE);
  RegisterAndUnregisterIn(u8"Элементы управления", u8"версия.ocx", true, "names-cyrillic.bmp");
  RegisterAndUnregisterIn(u8"控件下载", "versioned.ocx", false, "names-chinese.bmp");
  DeleteFileA(listed.c_str());
}

}  // namespace
}  // namespace e2e
