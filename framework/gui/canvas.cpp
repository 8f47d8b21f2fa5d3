#include "framework/gui/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <cstdlib>

#include "framework/gui/graphics.h"
#include "framework/gui/qtbridge.h"

namespace komp {

int TFont::PixelHeight() const {
  if (Height > 0) return Height;
  if (Height < 0) return -Height;
  // Rounded like MulDiv(Size, PixelsPerInch, 72).
  const long long num = (long long)Size * PixelsPerInch;
  return int((num + 36) / 72);
}

std::vector<const TCanvasOp*> TCanvasRecord::Texts() const {
  std::vector<const TCanvasOp*> out;
  for (const auto& op : ops)
    if (op.kind == TCanvasOp::Text) out.push_back(&op);
  return out;
}

const TCanvasOp* TCanvasRecord::FindText(std::string_view text) const {
  for (const auto& op : ops)
    if (op.kind == TCanvasOp::Text && op.text == text) return &op;
  return nullptr;
}

std::string TCanvasRecord::AllText() const {
  std::string out;
  for (const auto& op : ops)
    if (op.kind == TCanvasOp::Text) {
      if (!out.empty()) out += '|';
      out += op.text;
    }
  return out;
}

namespace {

// Windows face names map to metric-compatible faces that fontconfig finds on this platform.
QString MapFace(const std::string& name) {
  if (name == "MS Sans Serif" || name == "MS Shell Dlg" || name == "Arial" || name == "Tahoma" ||
      name == "Microsoft Sans Serif" || name.empty())
    return QStringLiteral("Liberation Sans");
  if (name == "Courier New" || name == "Courier") return QStringLiteral("Liberation Mono");
  if (name == "Times New Roman" || name == "Times") return QStringLiteral("Liberation Serif");
  return ToQString(name);
}

struct FontKey {
  TFont font;
  int ppi = 0;
  bool valid = false;
};

}  // namespace

QFont TCanvas::ToQFont(const TFont& font, int ppi) {
  TFont f = font;
  f.PixelsPerInch = ppi;
  QFont q(MapFace(font.Name));
  q.setPixelSize(std::max(1, f.PixelHeight()));
  q.setBold(font.Style & fsBold);
  q.setItalic(font.Style & fsItalic);
  q.setUnderline(font.Style & fsUnderline);
  q.setStrikeOut(font.Style & fsStrikeOut);
  q.setHintingPreference(QFont::PreferFullHinting);
  return q;
}

namespace {
// Measuring is frequent (every cell of a table); keep the metrics of the last font.
struct MetricsCache {
  FontKey key;
  std::unique_ptr<QFont> font;
  std::unique_ptr<QFontMetrics> metrics;
  const QFontMetrics& Get(const TFont& f, int ppi) {
    if (!key.valid || !(key.font == f) || key.ppi != ppi) {
      font = std::make_unique<QFont>(TCanvas::ToQFont(f, ppi));
      metrics = std::make_unique<QFontMetrics>(*font);
      key = {f, ppi, true};
    }
    return *metrics;
  }
};
thread_local MetricsCache g_metrics;
}  // namespace

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::Begin(QPainter* painter, QImage* pixels) {
  painter_ = painter;
  pixels_ = pixels;
  if (painter_) painter_->setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::End() {
  painter_ = nullptr;
  pixels_ = nullptr;
}

void TCanvas::Record(TCanvasOp op) const {
  if (record_) record_->ops.push_back(std::move(op));
}

TCanvasOp TCanvas::MakeOp(TCanvasOp::Kind kind, const TRect& r) const {
  TCanvasOp op;
  op.kind = kind;
  op.rect = r;
  op.penColor = Pen.Color;
  op.brushColor = Brush.Color;
  op.brushClear = Brush.Style == TBrushStyle::Clear;
  op.brushStyle = Brush.Style;
  op.font = Font;
  return op;
}

void TCanvas::ApplyPen() {
  if (Pen.Style == TPenStyle::Clear) {
    painter_->setPen(Qt::NoPen);
  } else {
    QPen p(ToQColor(Pen.Color));
    p.setWidth(Pen.Width <= 1 ? 0 : Pen.Width);
    switch (Pen.Style) {
      case TPenStyle::Dash: p.setStyle(Qt::DashLine); break;
      case TPenStyle::Dot: p.setStyle(Qt::DotLine); break;
      case TPenStyle::DashDot: p.setStyle(Qt::DashDotLine); break;
      default: p.setStyle(Qt::SolidLine); break;
    }
    painter_->setPen(p);
  }
  switch (Pen.Mode) {
    case TPenMode::Not: painter_->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case TPenMode::Xor: painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    default: painter_->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
  }
}

QBrush TCanvas::ToQBrush() const {
  const QColor c = ToQColor(Brush.Color);
  switch (Brush.Style) {
    case TBrushStyle::Clear: return Qt::NoBrush;
    case TBrushStyle::Horizontal: return QBrush(c, Qt::HorPattern);
    case TBrushStyle::Vertical: return QBrush(c, Qt::VerPattern);
    case TBrushStyle::FDiagonal: return QBrush(c, Qt::FDiagPattern);
    case TBrushStyle::BDiagonal: return QBrush(c, Qt::BDiagPattern);
    case TBrushStyle::Cross: return QBrush(c, Qt::CrossPattern);
    case TBrushStyle::DiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
  }
}

void TCanvas::ApplyBrush() { painter_->setBrush(ToQBrush()); }

void TCanvas::MoveTo(int x, int y) { PenPos = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  const TPoint from = PenPos;
  PenPos = {x, y};
  auto op = MakeOp(TCanvasOp::Line, {std::min(from.x, x), std::min(from.y, y), std::max(from.x, x) + 1,
                                      std::max(from.y, y) + 1});
  op.points = {from, {x, y}};
  Record(std::move(op));
  EnsurePainter();
  if (!painter_ || Pen.Style == TPenStyle::Clear) return;
  if (from.x == x && from.y == y) return;
  ApplyPen();
  if (Pen.Width > 1) {
    painter_->drawLine(from.x, from.y, x, y);
  } else {
    // The end point is left out, so that joined lines do not draw their corners twice.
    const int dx = x - from.x, dy = y - from.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy)) {
      const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
      painter_->drawLine(from.x, from.y, x - sx, y - sy);
    } else {
      QPolygon pts;
      pts.reserve(steps);
      for (int i = 0; i < steps; ++i)
        pts << QPoint(from.x + int(std::lround(double(dx) * i / steps)),
                      from.y + int(std::lround(double(dy) * i / steps)));
      painter_->drawPoints(pts);
    }
  }
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
  Record(MakeOp(TCanvasOp::Rectangle, {l, t, r, b}));
  EnsurePainter();
  if (!painter_ || r <= l || b <= t) return;
  const bool pen = Pen.Style != TPenStyle::Clear;
  if (Brush.Style != TBrushStyle::Clear) {
    const QRect inner = pen ? QRect(l + 1, t + 1, r - l - 2, b - t - 2) : QRect(l, t, r - l, b - t);
    if (inner.width() > 0 && inner.height() > 0) painter_->fillRect(inner, ToQBrush());
  }
  if (pen) {
    ApplyPen();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRect(l, t, r - l - 1, b - t - 1));
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
}

void TCanvas::FillRect(const TRect& r) {
  Record(MakeOp(TCanvasOp::FillRect, r));
  EnsurePainter();
  if (!painter_ || r.IsEmpty() || Brush.Style == TBrushStyle::Clear) return;
  painter_->fillRect(ToQRect(r), ToQBrush());
}

void TCanvas::FrameRect(const TRect& r) {
  Record(MakeOp(TCanvasOp::FrameRect, r));
  EnsurePainter();
  if (!painter_ || r.IsEmpty()) return;
  const QColor c = ToQColor(Brush.Color);
  painter_->fillRect(QRect(r.left, r.top, r.Width(), 1), c);
  painter_->fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), c);
  painter_->fillRect(QRect(r.left, r.top, 1, r.Height()), c);
  painter_->fillRect(QRect(r.right - 1, r.top, 1, r.Height()), c);
}

void TCanvas::RoundRect(int l, int t, int r, int b, int rx, int ry) {
  Record(MakeOp(TCanvasOp::RoundRect, {l, t, r, b}));
  EnsurePainter();
  if (!painter_ || r <= l || b <= t) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawRoundedRect(QRect(l, t, r - l - 1, b - t - 1), rx / 2.0, ry / 2.0);
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
  Record(MakeOp(TCanvasOp::Ellipse, {l, t, r, b}));
  EnsurePainter();
  if (!painter_ || r <= l || b <= t) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

namespace {
TRect BoundsOf(const std::vector<TPoint>& pts) {
  if (pts.empty()) return {};
  TRect r{pts[0].x, pts[0].y, pts[0].x + 1, pts[0].y + 1};
  for (const auto& p : pts) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x + 1);
    r.bottom = std::max(r.bottom, p.y + 1);
  }
  return r;
}
QPolygon ToQPolygon(const std::vector<TPoint>& pts) {
  QPolygon poly;
  poly.reserve(qsizetype(pts.size()));
  for (const auto& p : pts) poly << QPoint(p.x, p.y);
  return poly;
}
}  // namespace

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  auto op = MakeOp(TCanvasOp::Polygon, BoundsOf(points));
  op.points = points;
  Record(std::move(op));
  EnsurePainter();
  if (!painter_ || points.size() < 2) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawPolygon(ToQPolygon(points));
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  auto op = MakeOp(TCanvasOp::Polyline, BoundsOf(points));
  op.points = points;
  Record(std::move(op));
  if (points.empty()) return;
  // Drawn as joined lines so that only the very last point is left out.
  TCanvasRecord* rec = record_;
  record_ = nullptr;
  MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
  record_ = rec;
}

int TCanvas::TextWidth(std::string_view text) const {
  return g_metrics.Get(Font, ppi_).horizontalAdvance(ToQString(text));
}

int TCanvas::TextHeight(std::string_view) const { return g_metrics.Get(Font, ppi_).height(); }

TSize TCanvas::TextExtent(std::string_view text) const { return {TextWidth(text), TextHeight(text)}; }

TSize TCanvas::MeasureText(const TFont& font, std::string_view text, int ppi) {
  const QFontMetrics& fm = g_metrics.Get(font, ppi);
  return {fm.horizontalAdvance(ToQString(text)), fm.height()};
}

int TCanvas::TextAscent() const { return g_metrics.Get(Font, ppi_).ascent(); }

void TCanvas::DrawTextAt(int x, int y, std::string_view text, const TRect* clip) {
  const QString s = ToQString(text);
  const QFontMetrics& fm = g_metrics.Get(Font, ppi_);
  painter_->save();
  if (clip) painter_->setClipRect(ToQRect(*clip), Qt::IntersectClip);
  painter_->setFont(ToQFont(Font, ppi_));
  if (Font.Orientation != 0) {
    painter_->translate(x, y);
    painter_->rotate(-Font.Orientation / 10.0);
    if (Brush.Style != TBrushStyle::Clear && !clip)
      painter_->fillRect(QRect(0, 0, fm.horizontalAdvance(s), fm.height()), ToQColor(Brush.Color));
    painter_->setPen(ToQColor(Font.Color));
    painter_->drawText(QPoint(0, fm.ascent()), s);
  } else {
    if (Brush.Style != TBrushStyle::Clear && !clip)
      painter_->fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(Brush.Color));
    painter_->setPen(ToQColor(Font.Color));
    painter_->drawText(QPoint(x, y + fm.ascent()), s);
  }
  painter_->restore();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  const TSize ext = TextExtent(text);
  auto op = MakeOp(TCanvasOp::Text, {x, y, x + ext.cx, y + ext.cy});
  op.text = std::string(text);
  Record(std::move(op));
  PenPos = {x + ext.cx, y};
  EnsurePainter();
  if (!painter_ || text.empty()) return;
  DrawTextAt(x, y, text, nullptr);
}

void TCanvas::TextOutDx(int x, int y, std::string_view text, const std::vector<int>& dx,
                        const TRect* clip) {
  const TSize ext = TextExtent(text);
  auto op = MakeOp(TCanvasOp::Text, {x, y, x + ext.cx, y + ext.cy});
  op.text = std::string(text);
  if (clip) op.clip = *clip, op.clipped = true;
  Record(std::move(op));
  EnsurePainter();
  if (!painter_ || text.empty() || (clip && clip->IsEmpty())) return;
  const QFontMetrics& fm = g_metrics.Get(Font, ppi_);
  const double angle = Font.Orientation / 10.0;
  const double rad = angle * 3.14159265358979323846 / 180.0;
  painter_->save();
  painter_->setFont(ToQFont(Font, ppi_));
  painter_->setPen(ToQColor(Font.Color));
  if (clip && angle == 0) painter_->setClipRect(ToQRect(*clip), Qt::IntersectClip);
  int64_t along = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const QString ch = ToQString(text.substr(i, 1));
    const int w = fm.horizontalAdvance(ch);
    const int cx = x + int(std::lround(double(along) * std::cos(rad)));
    const int cy = y - int(std::lround(double(along) * std::sin(rad)));
    const int advance = i < dx.size() ? dx[i] : w;
    along += advance;
    // The character's own cell, or its slot where that is narrower (a glyph a pixel wider than
    // its place stays drawn).
    if (clip && angle == 0 && (cx < clip->left || cx + std::min(w, advance) > clip->right)) continue;
    if (angle != 0) {
      painter_->save();
      painter_->translate(cx, cy);
      painter_->rotate(-angle);
      painter_->drawText(QPoint(0, fm.ascent()), ch);
      painter_->restore();
    } else {
      painter_->drawText(QPoint(cx, cy + fm.ascent()), ch);
    }
  }
  painter_->restore();
}

void TCanvas::TextRect(const TRect& clip, int x, int y, std::string_view text) {
  // The extent only serves the record: tables draw many clipped texts a paint.
  if (record_) {
    const TSize ext = TextExtent(text);
    auto op = MakeOp(TCanvasOp::Text, {x, y, x + ext.cx, y + ext.cy});
    op.text = std::string(text);
    op.clip = clip;
    op.clipped = true;
    Record(std::move(op));
  }
  EnsurePainter();
  if (!painter_) return;
  if (Brush.Style != TBrushStyle::Clear && !clip.IsEmpty()) painter_->fillRect(ToQRect(clip), ToQColor(Brush.Color));
  if (!text.empty() && !clip.IsEmpty()) DrawTextAt(x, y, text, &clip);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  StretchDraw({x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
  Record(MakeOp(TCanvasOp::Bitmap, dest));
  EnsurePainter();
  if (!painter_ || bitmap.Empty() || dest.IsEmpty()) return;
  const QImage& img = bitmap.Image();
  if (bitmap.Transparent) {
    QImage masked = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(bitmap.EffectiveTransparentColor()).rgb() & 0xFFFFFF;
    for (int yy = 0; yy < masked.height(); ++yy) {
      auto* line = reinterpret_cast<QRgb*>(masked.scanLine(yy));
      for (int xx = 0; xx < masked.width(); ++xx)
        if ((line[xx] & 0xFFFFFF) == key) line[xx] = 0;
    }
    painter_->drawImage(ToQRect(dest), masked);
  } else {
    painter_->drawImage(ToQRect(dest), img);
  }
}

void TCanvas::DrawImage(int x, int y, const TImageList& list, int index, bool enabled) {
  Record(MakeOp(TCanvasOp::Bitmap, {x, y, x + list.Width(), y + list.Height()}));
  EnsurePainter();
  if (!painter_) return;
  list.Draw(*this, x, y, index, enabled);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  Record(MakeOp(TCanvasOp::Copy, dest));
  EnsurePainter();
  source.EnsurePainter();
  if (!painter_ || !source.pixels_ || dest.IsEmpty() || sourceRect.IsEmpty()) return;
  const QImage part = source.pixels_->copy(ToQRect(sourceRect));
  painter_->drawImage(ToQRect(dest), part);
}

void TCanvas::Frame3D(const TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.IsEmpty()) return;
  Pen.Color = topLeft;
  MoveTo(r.left, r.bottom - 1);
  LineTo(r.left, r.top);
  LineTo(r.right - 1, r.top);
  Pen.Color = bottomRight;
  LineTo(r.right - 1, r.bottom - 1);
  LineTo(r.left - 1, r.bottom - 1);
}

void TCanvas::InvertRect(const TRect& r) {
  Record(MakeOp(TCanvasOp::Invert, r));
  EnsurePainter();
  if (!painter_ || r.IsEmpty()) return;
  painter_->save();
  painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_->fillRect(ToQRect(r), Qt::white);
  painter_->restore();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Record(MakeOp(TCanvasOp::FocusRect, r));
  EnsurePainter();
  if (!painter_ || r.IsEmpty()) return;
  // A dotted frame drawn by inversion, so drawing it twice removes it.
  QPolygon pts;
  for (int x = r.left; x < r.right; x += 2) pts << QPoint(x, r.top);
  for (int x = r.left + ((r.Height() - 1) & 1); x < r.right; x += 2) pts << QPoint(x, r.bottom - 1);
  for (int y = r.top + 2; y < r.bottom - 1; y += 2) pts << QPoint(r.left, y);
  for (int y = r.top + 2 - ((r.Width() - 1) & 1); y < r.bottom - 1; y += 2)
    if (y > r.top) pts << QPoint(r.right - 1, y);
  painter_->save();
  painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_->setPen(QPen(Qt::white, 0));
  painter_->drawPoints(pts);
  painter_->restore();
}

TColor TCanvas::Pixel(int x, int y) const {
  const_cast<TCanvas*>(this)->EnsurePainter();
  if (!pixels_ || x < 0 || y < 0 || x >= pixels_->width() || y >= pixels_->height()) return clNone;
  return FromQColor(QColor::fromRgb(pixels_->pixel(x, y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  auto op = MakeOp(TCanvasOp::Pixel, {x, y, x + 1, y + 1});
  op.penColor = color;
  Record(std::move(op));
  EnsurePainter();
  if (!painter_) return;
  painter_->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void TCanvas::SetClipRect(const TRect& r) {
  EnsurePainter();
  if (painter_) painter_->setClipRect(ToQRect(r));
}

void TCanvas::ResetClip() {
  if (painter_) painter_->setClipping(false);
}

TRecordingCanvas::TRecordingCanvas(int width, int height, TColor background)
    : image_(std::make_unique<QImage>(std::max(1, width), std::max(1, height), QImage::Format_RGB32)) {
  image_->fill(ToQColor(background));
  SetRecorder(&record);
}

TRecordingCanvas::~TRecordingCanvas() {
  End();
  painter_.reset();
}

void TRecordingCanvas::EnsurePainter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(image_.get());
    Begin(painter_.get(), image_.get());
  }
}

int TRecordingCanvas::Width() const { return image_->width(); }
int TRecordingCanvas::Height() const { return image_->height(); }

const QImage& TRecordingCanvas::Image() {
  if (painter_) {
    End();
    painter_.reset();
  }
  return *image_;
}

bool TRecordingCanvas::SavePng(const std::string& path) { return Image().save(ToQString(path), "PNG"); }

}  // namespace komp
