#pragma once
// The window's layout as data: one row per control, in creation order.
#include <array>

#include "window/ControlIds.h"

namespace ravlin {

constexpr char kTitle[] = "RICHTX32 registerring tool";
constexpr int kClientWidthTwips = 7044;
constexpr int kClientHeightTwips = 3744;
constexpr int kTwipsPerInch = 1440;

enum class ControlKind {
  Button,
  ColouredButton,  // graphical style, face in the info-background colour
  Label,
  TextBox,
  FileList,
};

struct FontSpec {
  const char* face;
  double points;
  int weight;
};

struct ControlSpec {
  const char* name;
  int index;  // member of a control array, or -1
  ControlKind kind;
  ControlId id;
  const char* caption;
  int left, top, width, height;  // twips, in the client area
  int tabIndex;
  const FontSpec* font;  // nullptr: the standard dialog font
  // Drawn above the controls it overlaps, so its text can be read.
  bool raised;
};

extern const FontSpec kFontA;
extern const FontSpec kFontB;
extern const FontSpec kFontC;
extern const FontSpec kFontD;

extern const std::array<ControlSpec, 16> kLayout;

constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace ravlin
