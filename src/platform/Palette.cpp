#include "platform/Toolkit.h"

#include <array>

namespace ravlin {

Color QBColor(int index) {
  static constexpr std::array<Color, 16> kPalette = {{
      {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
      {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {192, 192, 192},
      {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
      {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
  }};
  if (index < 0 || index >= static_cast<int>(kPalette.size()))
    throw ToolkitError("Invalid procedure call or argument");
  return kPalette[static_cast<size_t>(index)];
}

}  // namespace ravlin
