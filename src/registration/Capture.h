#pragma once
// What a control registers, read without registering it: a copy of this
// program, started with its own switch, points the registry's roots at a
// private key, runs the control's DllRegisterServer and ends; what the
// control wrote there is read, and the key deleted. A control that refuses,
// runs past the limit, crashes or ends its process ends only that copy.
#include <string>

#include "inspection/ControlDescription.h"
#include "platform/Platform.h"

namespace ravlin {

// Whether the command line asks this program to be the capture's copy.
bool IsCaptureRequest(const std::string& commandLine);

// The copy's work: "/capture <private key> "<control>"". Its exit code is the
// export's result, or the fault that ended it, or an HRESULT of why nothing ran.
int RunCapture(Platform& platform, const std::string& commandLine);

// The classes and libraries the control at controlPath registers to itself,
// caught by the copy of this program (programPath) built for the control's
// processor: this one, or the other build beside it. The registry is as it was.
ControlDescription CaptureRegistration(Platform& platform, const std::string& programPath,
                                       const std::string& controlPath);

// The capture; when it fails, the type library, with why the capture failed.
ControlDescription DescribeControl(Platform& platform, const std::string& programPath,
                                   const std::string& controlPath);

// The program's own file.
std::string OwnProgramPath(Platform& platform);

}  // namespace ravlin
