#include "window/frmRavlin.h"

namespace ravlin {

// Whichever button was pressed: the list has already moved its selection
// for a primary press, so the selection is what is copied. While a
// registration waits for Proceed or Cancel the text stays, as for a drop.
void frmRavlin::File1_MouseDown(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {
  if (text1.Locked()) return;
  const std::string directory = File1.Path();
  const int index = File1.ListIndex();
  // A press where nothing is selected yet (an empty list, or below its entries) changes nothing.
  if (index < 0) return;
  text1.SetText(directory + "\\" + File1.List(index));
}

}  // namespace ravlin
