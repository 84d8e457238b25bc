#include <windows.h>

#include "cli/SilentMode.h"
#include "platform/win32/WinConsole.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinToolkit.h"
#include "registration/Capture.h"
#include "window/Layout.h"
#include "window/frmRavlin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  ravlin::WinPlatform platform;
  if (ravlin::IsCaptureRequest(commandLine)) return ravlin::RunCapture(platform, commandLine);
  ravlin::WinConsole console(ravlin::kTitle);
  if (const std::optional<int> exitCode = ravlin::RunSilentMode(platform, console)) return *exitCode;
  ravlin::WinToolkit toolkit(instance);
  ravlin::frmRavlin form(toolkit, platform);
  return toolkit.Run(form, showCommand);
}
