#pragma once
// Reads the controls a Visual Basic 5 or 6 program lists in its own file: the
// table of external components its header points at, one entry per class a
// form places. The file is untrusted data: every count, address and offset is
// bounded by what the file holds.
#include <string>
#include <vector>

#include "inspection/PeImage.h"

namespace ravlin {

struct ControlClass {
  std::string clsid;      // "{72C24DD5-D70A-438B-8A42-98424B88AFB8}"
  std::string className;  // Library.Class, "MSComDlg.CommonDialog"
};

// One control file and the classes of it the program uses, in the table's order.
struct ProgramControl {
  std::string file;  // as the table names it: "COMDLG32.OCX", or a designer's full path
  std::vector<ControlClass> classes;
};

struct ProgramControls {
  enum class Kind {
    NotVisualBasic,  // a library, or no Visual Basic runtime import, or no header where the entry point says
    Unreadable,      // the header is there, its table is damaged
    Read,            // controls holds the table (possibly nothing)
  };
  Kind kind = Kind::NotVisualBasic;
  std::vector<ProgramControl> controls;
};

ProgramControls ReadProgramControls(ByteSource& file);

}  // namespace ravlin
