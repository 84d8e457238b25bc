#include "window/frmRavlin.h"

namespace ravlin {

// Reports a failed write itself and carries on to the close, so the file
// number is never left open; the result tells the caller the file is there.
bool frmRavlin::Savetext(const std::string& file, const std::string& buffer) {
  toolkit_.DoEvents();
  toolkit_.DoEvents();

  bool written = true;
  int fileNumber = 0;
  try {
    fileNumber = toolkit_.FreeFile();
    toolkit_.OpenForOutput(fileNumber, file);
    toolkit_.Print(fileNumber, buffer);
  } catch (const std::exception& error) {
    toolkit_.MsgBox(file + " " + error.what());
    written = false;
  }
  toolkit_.Close(fileNumber);  // nothing happens for a number never opened

  toolkit_.DoEvents();
  return written;
}

}  // namespace ravlin
