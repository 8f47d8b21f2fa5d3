// Bitmaps and image lists.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/canvas.h"

class QImage;

namespace komp {

class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap();
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);

  int Width() const;
  int Height() const;
  // Resizing keeps the pixels that still fit; new pixels are white.
  void SetSize(int width, int height);
  bool Empty() const { return Width() == 0 || Height() == 0; }
  TCanvas& Canvas();

  // Drawing leaves out pixels of the transparent colour (by default the bottom-left pixel's).
  bool Transparent = false;
  TColor TransparentColor = clNone;
  TColor EffectiveTransparentColor() const;

  bool LoadFromFile(const std::string& cp1252Name);
  bool SaveToFile(const std::string& cp1252Name) const;  // format from the extension (.bmp, .png)

  // The pixels; ends any drawing in progress.
  const QImage& Image() const;
  QImage& MutableImage();
  void SetImage(const QImage& image);

 private:
  class Canvas_;
  std::unique_ptr<QImage> image_;
  std::unique_ptr<Canvas_> canvas_;
};

class TImageList {
 public:
  TImageList(int width = 16, int height = 16);
  ~TImageList();
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return int(images_.size()); }
  // Adds the bitmap cut into pieces of the list's width; pixels of maskColor become transparent.
  int AddMasked(const TBitmap& bitmap, TColor maskColor);
  int Add(const TBitmap& bitmap);
  void Clear();
  // Drawn disabled, an image is shown greyed.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  const QImage* ImageAt(int index) const;

 private:
  int width_;
  int height_;
  std::vector<std::unique_ptr<QImage>> images_;
};

}  // namespace komp
