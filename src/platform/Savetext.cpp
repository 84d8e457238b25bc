#include "platform/Savetext.h"

namespace ravlin {

// Reports a failed write itself and carries on to the close, so the file
// number is never left open; the result tells the caller the file is there.
bool Savetext(Toolkit& toolkit, const std::string& file, const std::string& buffer) {
  toolkit.DoEvents();
  toolkit.DoEvents();

  bool written = true;
  int fileNumber = 0;
  try {
    fileNumber = toolkit.FreeFile();
    toolkit.OpenForOutput(fileNumber, file);
    toolkit.Print(fileNumber, buffer);
  } catch (const std::exception& error) {
    toolkit.MsgBox(file + " " + error.what());
    written = false;
  }
  toolkit.Close(fileNumber);  // nothing happens for a number never opened

  toolkit.DoEvents();
  return written;
}

}  // namespace ravlin
