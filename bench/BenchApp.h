#pragma once
// The Visual Basic program that figures 7 and 9 read: 2 MB, listing 8
// controls as a program on a machine that lacks some of them has them. Three
// are registered (planted per user in the 32-bit view, the one such programs
// have, so nothing of the prefix's 32-bit half is needed); three lie beside
// the program, not registered; two are nowhere, looked for beside the program
// and in the system folder.
#include <string>

namespace bench {

constexpr int kAppControls = 8;

struct BenchApp {
  std::string folder;   // a scratch folder under the temporary folder
  std::string program;  // folder\benchapp.exe
};

// The folder named after `name` under the temporary folder, the program and
// its controls in it, the three classes planted. false when any step failed;
// RemoveApp then removes what was made.
bool WriteApp(const std::string& name, BenchApp* app);

// Everything WriteApp made, the planted classes too, however far it got.
void RemoveApp(const BenchApp& app);

}  // namespace bench
