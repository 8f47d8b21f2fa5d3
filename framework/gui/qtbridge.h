// The one place where framework values become Qt values and back (framework-internal).
#pragma once
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "framework/cp1252.h"
#include "framework/types.h"

namespace komp {

inline QString ToQString(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}
inline std::string FromQString(const QString& s) {
  const QByteArray utf8 = s.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), size_t(utf8.size())));
}
inline QColor ToQColor(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
inline TColor FromQColor(const QColor& c) { return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }
inline QRect ToQRect(const TRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QPoint ToQPoint(TPoint p) { return QPoint(p.x, p.y); }
inline TPoint FromQPoint(QPoint p) { return {p.x(), p.y()}; }

}  // namespace komp
