#pragma once
// What a toolkit needs from the form it shows: its layout, the control object
// behind each row, and its load and unload events.
#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/FormLayout.h"

namespace ravlin {

class FormHost {
 public:
  virtual FormLayout Layout() const = 0;
  // The control the layout names with this identifier.
  virtual Control& ControlById(int id) = 0;
  // Raised once the controls exist, before the window is first shown.
  virtual void Form_Load() = 0;
  // Raised when the window is asked to close; a cancel other than 0 keeps it.
  virtual void Form_Unload(int16_t& cancel) = 0;
  // Raised when files are dropped on the window, with the first one's full path.
  virtual void Form_DropFiles(const std::string& path) = 0;

 protected:
  ~FormHost() = default;
};

}  // namespace ravlin
