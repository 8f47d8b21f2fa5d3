// Drawing surface with pen, brush and font, in the classic desktop manner: right and bottom
// edges of rectangles are exclusive, a line leaves out its last point, text is placed by its top.
// A canvas draws on a control, a bitmap or a printer page, and can record what it drew for tests.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/types.h"

class QPainter;
class QImage;
class QFont;
class QBrush;

namespace komp {

class TBitmap;
class TImageList;

enum TFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;

struct TFont {
  std::string Name = "MS Sans Serif";
  int Size = 8;            // points
  int Height = 0;          // pixels; when above 0 it wins over Size
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  int PixelsPerInch = 96;
  int Orientation = 0;     // tenths of a degree, counter-clockwise
  // Pixel height of the character cell: Height, or Size x PixelsPerInch / 72, rounded.
  int PixelHeight() const;
  friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TPenStyle { Solid, Dash, Dot, DashDot, Clear };
enum class TPenMode { Copy, Not, Xor };
struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::Solid;
  TPenMode Mode = TPenMode::Copy;
};

// The hatched styles draw lines in the brush colour and leave the ground between them as it was.
enum class TBrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
};

struct TSize {
  int cx = 0;
  int cy = 0;
};

// One drawing operation as a test reads it back.
struct TCanvasOp {
  enum Kind { Line, Rectangle, FillRect, FrameRect, RoundRect, Ellipse, Polygon, Polyline, Text, Bitmap,
              Invert, FocusRect, Pixel, Copy };
  Kind kind = Line;
  TRect rect;                  // bounds of the operation (text: its cell)
  std::vector<TPoint> points;  // line end points, polygon corners
  std::string text;            // code page 1252
  TColor penColor = 0;
  TColor brushColor = 0;
  bool brushClear = false;
  TBrushStyle brushStyle = TBrushStyle::Solid;
  TFont font;
  TRect clip;                  // clip rectangle of clipped text
  bool clipped = false;
};

class TCanvasRecord {
 public:
  std::vector<TCanvasOp> ops;
  void Clear() { ops.clear(); }
  // The text operations, in drawing order.
  std::vector<const TCanvasOp*> Texts() const;
  // The first text operation drawing exactly this text, or null.
  const TCanvasOp* FindText(std::string_view text) const;
  // All texts drawn, joined in drawing order (handy in failure messages).
  std::string AllText() const;
};

class TCanvas {
 public:
  TCanvas();
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint PenPos;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int l, int t, int r, int b);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);  // one pixel in the brush colour
  void RoundRect(int l, int t, int r, int b, int rx, int ry);
  void Ellipse(int l, int t, int r, int b);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void TextOut(int x, int y, std::string_view text);
  // Text clipped to a rectangle; the background of the rectangle is filled unless the brush is clear.
  void TextRect(const TRect& clip, int x, int y, std::string_view text);
  // Each character at its own place: dx[i] is the advance after character i (missing ones take
  // the font's). With a clip box, a character not wholly inside it is left out. Rotated fonts
  // place the characters along their angle.
  void TextOutDx(int x, int y, std::string_view text, const std::vector<int>& dx,
                 const TRect* clip = nullptr);
  int TextWidth(std::string_view text) const;
  int TextHeight(std::string_view text) const;
  TSize TextExtent(std::string_view text) const;
  // Ascent of the current font in pixels (distance from a text's top to its base line).
  int TextAscent() const;
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const TRect& dest, const TBitmap& bitmap);
  void DrawImage(int x, int y, const TImageList& list, int index, bool enabled = true);
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  void InvertRect(const TRect& r);
  // A one-pixel 3D ring: left and top edges in topLeft, right and bottom edges in bottomRight.
  void Frame3D(const TRect& r, TColor topLeft, TColor bottomRight);
  void DrawFocusRect(const TRect& r);
  TColor Pixel(int x, int y) const;  // only on canvases with pixels (bitmaps, recordings)
  void SetPixel(int x, int y, TColor color);
  void SetClipRect(const TRect& r);
  void ResetClip();

  // The resolution that fonts on this canvas are measured at (96 on screen).
  int PixelsPerInch() const { return ppi_; }
  void SetPixelsPerInch(int ppi) { ppi_ = ppi; }

  void SetRecorder(TCanvasRecord* record) { record_ = record; }
  TCanvasRecord* Recorder() const { return record_; }

  // Binding to a device; used by the framework's controls, bitmaps and printers.
  void Begin(QPainter* painter, QImage* pixels);
  void End();
  bool Active() const { return painter_ != nullptr; }
  QPainter* Painter() const { return painter_; }

  // Measuring without a canvas at hand (layout outside Paint).
  static TSize MeasureText(const TFont& font, std::string_view text, int ppi = 96);

  // The Qt font for a TFont at a given resolution (for code that measures outside a canvas).
  static QFont ToQFont(const TFont& font, int ppi);

 protected:
  // Lets a bitmap's canvas start its painter on first use.
  virtual void EnsurePainter() {}

 private:
  void Record(TCanvasOp op) const;
  TCanvasOp MakeOp(TCanvasOp::Kind kind, const TRect& r) const;
  void ApplyPen();
  void ApplyBrush();
  QBrush ToQBrush() const;
  void DrawTextAt(int x, int y, std::string_view text, const TRect* clip);

  QPainter* painter_ = nullptr;
  QImage* pixels_ = nullptr;
  TCanvasRecord* record_ = nullptr;
  int ppi_ = 96;
};

// A canvas with its own pixels that records every operation: the test target.
class TRecordingCanvas : public TCanvas {
 public:
  TRecordingCanvas(int width, int height, TColor background = clWhite);
  ~TRecordingCanvas() override;
  TCanvasRecord record;
  int Width() const;
  int Height() const;
  const QImage& Image();
  bool SavePng(const std::string& path);

 private:
  void EnsurePainter() override;
  std::unique_ptr<QImage> image_;
  std::unique_ptr<QPainter> painter_;
};

}  // namespace komp
