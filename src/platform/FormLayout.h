#pragma once
// A window's layout as data: one row per control, in creation order, from
// which a toolkit creates the native controls.
#include <cstddef>

namespace ravlin {

constexpr int kTwipsPerInch = 1440;

enum class ControlKind {
  Button,
  ColouredButton,  // graphical style, face in the info-background colour
  Label,
  ScrollingLabel,  // a label whose lines scroll when they do not fit
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
  int id;     // the native control's identifier
  const char* caption;
  int left, top, width, height;  // twips, in the client area
  int tabIndex;
  const FontSpec* font;  // nullptr: the standard dialog font
  // Drawn above the controls it overlaps, so its text can be read.
  bool raised;
};

// The whole window: its class, caption, client size and control rows.
struct FormLayout {
  const char* windowClass;
  const char* title;
  int width, height;  // client area, twips
  const ControlSpec* rows;
  size_t count;

  const ControlSpec* begin() const { return rows; }
  const ControlSpec* end() const { return rows + count; }
};

constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace ravlin
