#pragma once
// The window's layout table: one row per control, in creation order.
#include <array>

#include "platform/FormLayout.h"
#include "window/ControlIds.h"

namespace ravlin {

constexpr char kTitle[] = "RICHTX32 registerring tool";
constexpr int kClientWidthTwips = 7044;
constexpr int kClientHeightTwips = 3744;

extern const FontSpec kFontA;
extern const FontSpec kFontB;
extern const FontSpec kFontC;
extern const FontSpec kFontD;

extern const std::array<ControlSpec, 24> kLayout;

}  // namespace ravlin
