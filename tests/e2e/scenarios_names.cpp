// Any file name: controls in folders named in other scripts, a path pasted in
// the double quotes that Explorer's "Copy as path" adds, and a path longer
// than the 260 characters the 8-bit Windows functions take.
#include "Driver.h"

#include <vector>

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
    CheckEq(FirstLine(registered.outcome), "Process completed", "registering " + control);
    CheckEq(RegisteredModule(), control, "the registered file");
    const RegistrationRun unregistered = s.RunRegistration(IdCmdUnregister);
    CheckEq(FirstLine(unregistered.outcome), "Process completed", "unregistering " + control);
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

// The driver makes and removes the deep folders with the wide functions and
// the "\\?\" prefix, which need no system setting for long paths.
std::wstring Extended(const std::string& path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
  return L"\\\\?\\" + std::wstring(wide.data());
}

SCENARIO(AControlInAFolderDeeperThan260CharactersRegisters) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::vector<std::string> folders{std::string(temp) + "ravlin-long"};
  while (folders.back().size() < 300) folders.push_back(folders.back() + "\\a-folder-to-make-the-path-long");
  for (const std::string& folder : folders) CreateDirectoryW(Extended(folder).c_str(), nullptr);
  const std::string control = folders.back() + "\\versioned.ocx";
  if (!Check(CopyFileW(Extended(FixturePath("versioned.ocx")).c_str(), Extended(control).c_str(), FALSE),
             "the control copied to a path of " + std::to_string(control.size()) + " characters"))
    return;
  DeleteRegistryKey(kVersionedKey);
  {
    Session s;
    s.StartIdle();
    s.SetText(IdText1, control);
    const RegistrationRun registered = s.RunRegistration(IdCmdRegister);
    CheckEq(registered.summary, kVersionedSummary, "the summary read through the long path");
    CheckEq(FirstLine(registered.outcome), "Process completed", "registering through the long path");
    Check(RegistryKeyExists(kVersionedKey), "the control's key is there");
    const RegistrationRun unregistered = s.RunRegistration(IdCmdUnregister);
    CheckEq(FirstLine(unregistered.outcome), "Process completed", "unregistering through the long path");
    Check(!RegistryKeyExists(kVersionedKey), "the control's key is gone");
  }  // the program ends, and lets go of the file, before it is removed
  DeleteFileW(Extended(control).c_str());
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    RemoveDirectoryW(Extended(*folder).c_str());
}

}  // namespace
}  // namespace e2e
