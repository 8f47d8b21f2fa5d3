#include "framework/gui/caret.h"

#include <QPainter>
#include <QPointer>

#include "framework/gui/controls.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
struct Caret {
  QPointer<TControl> owner;
  TRect rect;
  int hideCount = 1;
  bool blinkOn = true;
  int timer = 0;
};
Caret g_caret;

void InvalidateCaret() {
  if (g_caret.owner) g_caret.owner->update(ToQRect(g_caret.rect));
}

void StopBlink() {
  if (g_caret.timer && Services().Clock) Services().Clock->StopTimer(g_caret.timer);
  g_caret.timer = 0;
}

void StartBlink() {
  StopBlink();
  g_caret.blinkOn = true;
  if (!Services().Clock) return;
  g_caret.timer = Services().Clock->StartTimer(530, [] {
    g_caret.blinkOn = !g_caret.blinkOn;
    InvalidateCaret();
  });
}
}  // namespace

void CreateCaret(TControl* owner, int width, int height) {
  DestroyCaret();
  g_caret.owner = owner;
  g_caret.rect = {0, 0, width, height};
  g_caret.hideCount = 1;
}

void DestroyCaret() {
  StopBlink();
  InvalidateCaret();
  g_caret.owner = nullptr;
  g_caret.hideCount = 1;
}

// The blink keeps its rhythm through hiding and showing, so a control that hides the caret
// while it paints does not keep it switched on for good.
void ShowCaret(TControl* owner) {
  if (!g_caret.owner || g_caret.owner != owner) return;
  if (g_caret.hideCount > 0 && --g_caret.hideCount == 0) {
    if (!g_caret.timer) StartBlink();
    InvalidateCaret();
  }
}

void HideCaret(TControl* owner) {
  if (!g_caret.owner || g_caret.owner != owner) return;
  if (g_caret.hideCount++ == 0) InvalidateCaret();
}

void SetCaretPos(int x, int y) {
  if (!g_caret.owner) return;
  InvalidateCaret();
  g_caret.rect = Bounds(x, y, g_caret.rect.Width(), g_caret.rect.Height());
  g_caret.blinkOn = true;
  InvalidateCaret();
}

TCaretState CaretState() {
  return {g_caret.owner.data(), g_caret.rect, g_caret.owner && g_caret.hideCount == 0};
}

void PaintCaret(TControl* control, QPainter& painter) {
  if (g_caret.owner != control || g_caret.hideCount != 0 || !g_caret.blinkOn) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.fillRect(ToQRect(g_caret.rect), Qt::white);
  painter.restore();
}

void DestroyCaretOf(TControl* control) {
  if (g_caret.owner == control || !g_caret.owner) {
    StopBlink();
    g_caret.owner = nullptr;
    g_caret.hideCount = 1;
  }
}

}  // namespace komp
