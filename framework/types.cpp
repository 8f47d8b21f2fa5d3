#include "framework/types.h"

namespace komp {

namespace {
// The classic desktop scheme, so that screens and prints look alike on every machine.
constexpr TColor kSystemColors[] = {
    FromRGBHex(0xC8C8C8),  // scroll bar
    FromRGBHex(0x3A6EA5),  // background
    FromRGBHex(0x0A246A),  // active caption
    FromRGBHex(0x808080),  // inactive caption
    FromRGBHex(0xD4D0C8),  // menu
    FromRGBHex(0xFFFFFF),  // window
    FromRGBHex(0x000000),  // window frame
    FromRGBHex(0x000000),  // menu text
    FromRGBHex(0x000000),  // window text
    FromRGBHex(0xFFFFFF),  // caption text
    FromRGBHex(0xD4D0C8),  // active border
    FromRGBHex(0xD4D0C8),  // inactive border
    FromRGBHex(0x808080),  // app workspace
    FromRGBHex(0x0A246A),  // highlight
    FromRGBHex(0xFFFFFF),  // highlight text
    FromRGBHex(0xD4D0C8),  // button face
    FromRGBHex(0x808080),  // button shadow
    FromRGBHex(0x808080),  // grey text
    FromRGBHex(0x000000),  // button text
    FromRGBHex(0xD4D0C8),  // inactive caption text
    FromRGBHex(0xFFFFFF),  // button highlight
    FromRGBHex(0x404040),  // 3D dark shadow
    FromRGBHex(0xD4D0C8),  // 3D light
    FromRGBHex(0x000000),  // info text
    FromRGBHex(0xFFFFE1),  // info background
};
}  // namespace

TColor ColorToRGB(TColor c) {
  if ((c & 0xFF000000u) == 0x80000000u) {
    const uint32_t i = c & 0xFFu;
    if (i < sizeof(kSystemColors) / sizeof(kSystemColors[0])) return kSystemColors[i];
    return clBlack;
  }
  return c & 0x00FFFFFFu;
}

}  // namespace komp
