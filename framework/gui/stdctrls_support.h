// What the stock controls share: a wrapped Qt widget filling its control, the classic sunken
// frame around it, the classic palette of editing widgets, embossed disabled text, caption lines.
#pragma once
#include <string>
#include <vector>

#include "framework/gui/canvas.h"

class QWidget;

namespace komp::stdctrls {

// Puts a Qt widget inside a control, filling it up to `margin` pixels from its edges.
void FillWith(QWidget* host, QWidget* inner, int margin);
// The two-pixel sunken border of edits and list boxes, painted on the host around its child.
void AddSunkenBorder(QWidget* host);
// Window colours of the classic scheme for a wrapped editing widget.
void ClassicPalette(QWidget* w, bool keepSelection);
// Text of a control, embossed when it is disabled.
void DrawStateText(TCanvas& c, int x, int y, const TRect& clip, const std::string& text, bool enabled,
                   TColor color);
// A caption's lines.
std::vector<std::string> SplitLines(const std::string& s);

}  // namespace komp::stdctrls
