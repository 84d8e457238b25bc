#pragma once
// Names in a program's table of controls that can never be a control of its
// own: found or copied, they would pin a system file beside the program, or
// open a device. Known by name alone, before any file is looked at.
#include <string>

namespace ravlin {

enum class NeverAControl {
  No,                  // it may be a control
  TheProgram,          // the program's own file
  System,              // a library of the system's own
  VisualBasicRuntime,  // MSVBVM60.DLL, MSVBVM50.DLL
  NotAControlFile,     // a type library (.tlb, .olb) or a device name
};

// What the file named (a bare name, or a path whose last part counts) is,
// for a program whose own file is programName (a bare name; "" for none).
NeverAControl NeverAControlFor(const std::string& fileName, const std::string& programName);

// CON, NUL, AUX, PRN, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, with or without
// an extension: the system opens a device for them in any folder.
bool IsDeviceName(const std::string& fileName);

}  // namespace ravlin
