// Placement and drawing: where an object lies, whether it overflows its frame, and what the
// output is told to draw.
//
//   DevX, DevY, DevRect   0.1 mm to device units (half up), in 64 bits, held to the int range
//   Place                 box, overflow of shapes and bitmaps, shapes, bitmaps
//   PlaceText             line height, auto width, wrapping, alignment, lines owed to the next
//                         page or column
#include <algorithm>
#include <cmath>
#include <limits>

#include "components/druckreport/layout_internal.h"

namespace komp {

namespace {
int Clamp(double v) {
  constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  return int(std::clamp(std::floor(v + 0.5), lo, hi));
}

bool IsText(uint8_t typ) {
  return typ == typLabel || typ == typDatum || typ == typUhrzeit || typ == typSeite ||
         typ == typSeitevon || typ == typDbtext || typ == typVariable;
}
}  // namespace

int TReportLayout::DevX(int64_t p) const { return Clamp(out_.Origin().x + double(p) * out_.ScaleX()); }
int TReportLayout::DevY(int64_t p) const { return Clamp(out_.Origin().y + double(p) * out_.ScaleY()); }

TRect TReportLayout::DevRect(int64_t l, int64_t t, int64_t w, int64_t h) const {
  return {DevX(l), DevY(t), DevX(l + w), DevY(t + h)};
}

TFont TReportLayout::FontOf(const DruckReport_Struct& o) const {
  TFont f = o.Font;
  f.Size = ReportFontSize(f.Size);
  f.Height = 0;
  f.Color = o.Farbe;
  f.Orientation = o.Textwinkel;
  return f;
}

TReportLayout::Placed TReportLayout::Place(int i, Act* a, Prepared& p, bool inPF) {
  DruckReport_Struct& o = *obj_[size_t(i)];
  const int64_t left = int64_t(o.Links) + m_.RandLinks + xoff_;
  int64_t width = o.Breite;
  if (o.Breite == -1) {
    // Up to the right margin, which lies a left margin further than the offset alone says.
    width = a && a->columns > 1
                ? ColumnWidth(*a) - o.Links
                : int64_t(m_.Seitenbreite) - m_.RandRechts - m_.RandLinks - xoff_ - o.Links;
  }
  const int64_t top = int64_t(o.Oben) + m_.RandOben + yoff_;
  const int64_t height = o.Hoehe;
  if (IsText(o.Typ)) return PlaceText(o, a, p, left, top, width, height, inPF);

  const int64_t bottom = a ? a->bottom : int64_t(m_.Seitenhoehe) - m_.RandUnten;
  if (top > bottom) return inPF ? Placed::Done : Placed::Overflow;
  if (out_.Draws() && !trial_) {
    const TRect r = DevRect(left, top, width, height);
    const int pen = std::max(1, int(o.Stift * out_.ScaleX()));
    if (o.Typ == typRechteck) out_.Rectangle(o.Farbe, pen, r);
    if (o.Typ == typLinie) out_.Line(o.Farbe, pen, r);
    if (o.Typ == typElipse) out_.Ellipse(o.Farbe, pen, r);
    if (o.Typ == typBitmap && host_) {
      const TBitmap* b = host_->Bild(p.bild);
      if (!Callback()) return Placed::Stop;
      if (b && !b->Empty()) out_.Bitmap(*b, r);
      else if (out_.Konstrukt() & 2) out_.Hatched(0x800080, r, p.bild);
    }
  }
  if (!inPF) placedSinceBreak_ = true;
  if (a) a->extent = std::max(a->extent, top - m_.RandOben - a->recordY + height);
  yoff_ += o.Schrittweite;
  return Placed::Done;
}

TReportLayout::Placed TReportLayout::PlaceText(DruckReport_Struct& o, Act* a, Prepared& p,
                                               int64_t left, int64_t top, int64_t width,
                                               int64_t height, bool inPF) {
  const int64_t bottom = a ? a->bottom : int64_t(m_.Seitenhoehe) - m_.RandUnten;
  const TFont font = FontOf(o);
  const int res = std::max(1, out_.TextResolution());
  const int64_t lineHeight = std::max<int64_t>(1, out_.TextHeight(font) * 254 / res);
  if (p.rest == 0 && top + lineHeight > bottom) return inPF ? Placed::Done : Placed::Overflow;

  const std::string& value = p.value;
  auto measure = [&](std::string_view s) { return out_.TextWidth(font, s); };
  if (o.Auto) {
    lines_.assign(1, {0, value.size()});
    const int64_t w = measure(value) * 254 / res;
    if (w > width) {
      const int64_t diff = w - width;
      if (o.HAusrichtung == 2) left -= diff;
      if (o.HAusrichtung == 1) left -= diff / 2;
      width = w;
    }
  } else {
    GetTextzeilen(value, measure, 0, std::max<int64_t>(0, width) * res / 254, lines_);
    if (height / lineHeight >= 1 && int64_t(lines_.size()) > height / lineHeight)
      lines_.resize(size_t(height / lineHeight));
  }
  const int64_t total = int64_t(lines_.size());
  const int64_t start = p.rest > 0 ? std::max<int64_t>(0, total - p.rest) : 0;
  const int64_t count = total - start;
  int64_t y = top;
  if (p.rest == 0) {
    if (o.VAusrichtung == 1) y = top + height / 2 - lineHeight * count / 2;
    if (o.VAusrichtung == 2) y = top + height - lineHeight * count;
    y = std::max(y, top);
  }
  const int64_t blockTop = y;
  const TRect box = DevRect(left, top, width, std::max(height, blockTop - top + count * lineHeight));
  if ((out_.Konstrukt() & 4) && out_.Draws() && !trial_) out_.Hatched(0x008000, box, {});
  int64_t drawn = 0;
  for (int64_t j = start; j < total; ++j, y += lineHeight) {
    if (y + lineHeight > bottom) break;
    const std::string_view line = std::string_view(value).substr(lines_[size_t(j)].start,
                                                                 lines_[size_t(j)].length);
    if (out_.Draws() && !trial_) {
      const int64_t w = measure(line) * 254 / res;
      int64_t x = left;
      if (o.HAusrichtung == 1) x = left + width / 2 - w / 2;
      if (o.HAusrichtung == 2) x = left + width - w;
      out_.Text(font, DevX(x), DevY(y), line, box, DevX(x + w) - DevX(x));
    }
    ++drawn;
  }
  if (drawn > 0 && !inPF) placedSinceBreak_ = true;
  if (a) a->extent = std::max(a->extent, blockTop - m_.RandOben - a->recordY + drawn * lineHeight);
  p.rest = int(count - drawn);
  o.Restzeilen = p.rest;
  if (p.rest > 0 && !inPF) return Placed::Overflow;
  yoff_ += o.Schrittweite;
  return Placed::Done;
}

}  // namespace komp
