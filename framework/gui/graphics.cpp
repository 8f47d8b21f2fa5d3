#include "framework/gui/graphics.h"

#include <QImage>
#include <QPainter>

#include "framework/file.h"
#include "framework/gui/qtbridge.h"

namespace komp {

// The canvas of a bitmap starts its painter at the first drawing and ends it whenever the
// pixels are read, so the image is never copied while being painted.
class TBitmap::Canvas_ : public TCanvas {
 public:
  explicit Canvas_(QImage* image) : image_(image) {}
  ~Canvas_() override { Stop(); }
  void Stop() {
    if (painter_) {
      End();
      painter_.reset();
    }
  }
  void Retarget(QImage* image) {
    Stop();
    image_ = image;
  }

 protected:
  void EnsurePainter() override {
    if (!painter_ && image_ && !image_->isNull()) {
      painter_ = std::make_unique<QPainter>(image_);
      Begin(painter_.get(), image_);
    }
  }

 private:
  QImage* image_;
  std::unique_ptr<QPainter> painter_;
};

TBitmap::TBitmap() : image_(std::make_unique<QImage>()), canvas_(std::make_unique<Canvas_>(image_.get())) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() { canvas_->Stop(); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { *this = other; }

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) {
    canvas_->Stop();
    *image_ = other.Image().copy();
    Transparent = other.Transparent;
    TransparentColor = other.TransparentColor;
  }
  return *this;
}

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }

void TBitmap::SetSize(int width, int height) {
  canvas_->Stop();
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == Width() && height == Height()) return;
  QImage next(width, height, QImage::Format_RGB32);
  if (!next.isNull()) {
    next.fill(Qt::white);
    if (!image_->isNull()) {
      QPainter p(&next);
      p.drawImage(0, 0, *image_);
    }
  }
  *image_ = next;
}

TCanvas& TBitmap::Canvas() { return *canvas_; }

TColor TBitmap::EffectiveTransparentColor() const {
  if (TransparentColor != clNone) return TransparentColor;
  if (Empty()) return clWhite;
  return FromQColor(QColor::fromRgb(Image().pixel(0, Height() - 1)));
}

bool TBitmap::LoadFromFile(const std::string& cp1252Name) {
  canvas_->Stop();
  QImage img;
  if (!img.load(QString::fromStdString(ToSystemName(cp1252Name)))) return false;
  *image_ = img.convertToFormat(QImage::Format_RGB32);
  return true;
}

bool TBitmap::SaveToFile(const std::string& cp1252Name) const {
  return Image().save(QString::fromStdString(ToSystemName(cp1252Name)));
}

const QImage& TBitmap::Image() const {
  canvas_->Stop();
  return *image_;
}

QImage& TBitmap::MutableImage() {
  canvas_->Stop();
  return *image_;
}

void TBitmap::SetImage(const QImage& image) {
  canvas_->Stop();
  *image_ = image.convertToFormat(QImage::Format_RGB32);
}

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}
TImageList::~TImageList() = default;

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor) {
  if (bitmap.Empty() || width_ <= 0 || height_ <= 0) return -1;
  const QImage& src = bitmap.Image();
  const QRgb key = ToQColor(maskColor).rgb() & 0xFFFFFF;
  int first = -1;
  for (int x = 0; x + width_ <= src.width() || (x == 0 && src.width() > 0); x += width_) {
    QImage piece = src.copy(x, 0, width_, height_).convertToFormat(QImage::Format_ARGB32);
    if (maskColor != clNone) {
      for (int yy = 0; yy < piece.height(); ++yy) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(yy));
        for (int xx = 0; xx < piece.width(); ++xx)
          if ((line[xx] & 0xFFFFFF) == key) line[xx] = 0;
      }
    }
    images_.push_back(std::make_unique<QImage>(std::move(piece)));
    if (first < 0) first = Count() - 1;
    if (src.width() < width_) break;
  }
  return first;
}

int TImageList::Add(const TBitmap& bitmap) { return AddMasked(bitmap, clNone); }

void TImageList::Clear() { images_.clear(); }

const QImage* TImageList::ImageAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return images_[size_t(index)].get();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  const QImage* img = ImageAt(index);
  QPainter* p = canvas.Painter();
  if (!img || !p) return;
  if (enabled) {
    p->drawImage(x, y, *img);
    return;
  }
  // Disabled: a grey shade of the image, keeping its transparency.
  QImage grey = img->copy();
  for (int yy = 0; yy < grey.height(); ++yy) {
    auto* line = reinterpret_cast<QRgb*>(grey.scanLine(yy));
    for (int xx = 0; xx < grey.width(); ++xx) {
      const int g = 128 + qGray(line[xx]) / 2;
      line[xx] = qRgba(g, g, g, qAlpha(line[xx]));
    }
  }
  p->drawImage(x, y, grey);
}

}  // namespace komp
