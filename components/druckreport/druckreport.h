// TDruckReport: a report control driven by a small German report definition language.
//
// The unit is split by concern:
//   druckreport.h   the model records and the control's interface (this file)
//   model.cpp       objects, defaults, paper, data tables, variables, actions, bitmap caches
//   numbers.cpp     Str_in_Zahl and AddStr (text arithmetic of report variables)
//   parser.cpp      GetBefehl and SetReportdaten: the definition language
//   control.cpp     construction, painting, size and scroll bar, registration
//
// Call flow of a definition: SetReportdaten -> Clear_Report(false) -> parser builds the flat
// object list (nesting by Parent) -> SetPFormat -> SetGroesse -> repaint. Layout, preview and
// the PDF writer only read the model below.
#pragma once
#include <QPointer>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "components/stringtab/stringtab.h"
#include "framework/gui/canvas.h"
#include "framework/gui/controls.h"
#include "framework/gui/graphics.h"

namespace komp {

class TScrollBar;

// Object kinds (DruckReport_Struct::Typ).
enum : uint8_t {
  typLabel = 0, typBitmap = 1, typRechteck = 2, typLinie = 3, typDatum = 4, typUhrzeit = 5,
  typSeite = 6, typSeitevon = 7, typDbtext = 8, typFrame = 9, typSeitenframe = 10, typElipse = 11,
  typBedingung = 12, typVariable = 13, typSetgruppe = 14
};

// Condition flags (DruckReport_Struct::Bedingungen).
enum : uint16_t {
  bedAenderung = 0x0001, bedDatensatz = 0x0002, bedNerster = 0x0004, bedLeer = 0x0008,
  bedNleer = 0x0010, bedErster = 0x0020, bedLetzter = 0x0040, bedNeueseite = 0x0080,
  bedErsteseite = 0x0100
};

// Konstrukt bits: outlines shown on the screen only.
using DefKonstrukt = uint16_t;
enum : DefKonstrukt { kkBitmap = 2, kkText = 4, kkFrame = 8 };

// An action: the object adds its value to the named variable while Status is 0.
struct FAktion {
  int32_t Status = 0;
  std::string Name;
};
// In order of creation; new actions go to the end.
using FAktionListe = std::list<FAktion>;

// A report variable.
struct FVar {
  std::string Name;
  std::string Wert;
  int32_t Status = 0;
  uint8_t Zahl = 0;  // set by any numeric variable object naming it
};

// One report object. Measures in tenths of a millimetre, relative to the enclosing frame.
struct DruckReport_Struct {
  int32_t Oben = 0;
  int32_t Links = 0;
  int32_t Breite = 0;        // -1: up to the right margin (or the column's right edge)
  int32_t Hoehe = 0;         // frame: below 1 up to the bottom margin
  int32_t Anzahl = 0;        // frame: records to lay out (0 all); else: drawn for the first n
  int32_t Schrittweite = 0;  // frame: advance per record; else added after drawing
  int32_t Textwinkel = 0;    // tenths of a degree
  int32_t LetzteSeite = 0;   // page last drawn on (wenn neueseite)
  TFont Font;
  std::string Text;   // label text, bitmap name, column name or variable name
  std::string Text2;  // alternative bitmap (else) or source column (getdbtext)
  uint8_t HAusrichtung = 0;  // 0 left, 1 centre, 2 right
  uint8_t VAusrichtung = 0;  // 0 top, 1 centre, 2 bottom
  uint32_t Gruppe = 0;       // bit n-1 for group n
  int32_t Stift = 0;
  int32_t Spalten = 1;       // frame: columns, 0 automatic
  int32_t Restzeilen = 0;    // text lines owed from the previous page
  uint8_t Auto = 1;          // 1 one line, the box grows; 0 wrapped inside the box
  uint8_t Anzeigen = 1;      // variable shows its value
  uint8_t Zahl = 0;          // numeric variable
  uint8_t Format = 0;        // text passes through OnFormat
  uint8_t Tabelle = 0;       // data table 1..3, 0 none
  uint16_t Bedingungen = 0;
  // Fixed value of a variable, and the remembered previous value for wenn änderung.
  std::optional<std::string> Wert;
  uint32_t Farbe = 0;
  uint32_t Fuellfarbe = clNone;
  FAktionListe Aktionen;
  uint8_t Typ = typLabel;
  DruckReport_Struct* Parent = nullptr;  // enclosing frame or page frame
  DruckReport_Struct* Next = nullptr;    // next object in definition order
};

// What `set` changes and Neues_Objekt copies.
struct DruckReport_Vorgaben {
  int32_t Oben = 0;
  int32_t Links = 0;
  int32_t Breite = 500;
  int32_t Hoehe = 300;
  int32_t Schrifthoehe = 0;
  int32_t Anzahl = 0;
  TFontStyles Schriftart = 0;
  uint8_t HAusrichtung = 0;
  uint8_t VAusrichtung = 0;
  uint32_t Gruppe = 0;
  int32_t Stift = 10;
  uint8_t Auto = 1;
  uint8_t Zahl = 0;
  uint8_t Tabelle = 1;
  uint32_t Farbe = 0;
  uint32_t Fuellfarbe = clNone;
  int32_t Reserve = 0;  // reset with the rest, read by nobody
};

using TGetBitmapEvent = std::function<void(const std::string& Name, TBitmap*& Bild)>;
using TRecordChangeEvent = std::function<void(TObject* Sender, int Tab, int Position)>;
using TFormatEvent = std::function<void(TObject* Sender, const char* Name, std::string& Str)>;

class TDruckReport : public TCustomControl {
 public:
  // A named bitmap of the cache.
  struct Bitmap {
    std::string Name;
    TBitmap Bild;
  };

  explicit TDruckReport(QWidget* owner);
  ~TDruckReport() override;

  // ---- published
  DefKonstrukt Konstrukt() const { return konstrukt_; }
  void SetKonstrukt(DefKonstrukt k);
  // Align comes from TControl. Linked tables belong to the host; a freed one reads as unlinked.
  TStringTab* Tabelle1() const { return linked_[0]; }
  TStringTab* Tabelle2() const { return linked_[1]; }
  TStringTab* Tabelle3() const { return linked_[2]; }
  void SetTabelle1(TStringTab* t) { linked_[0] = t; }
  void SetTabelle2(TStringTab* t) { linked_[1] = t; }
  void SetTabelle3(TStringTab* t) { linked_[2] = t; }
  TGetBitmapEvent OnGetBitmap;
  TNotifyEvent OnDruck;
  TRecordChangeEvent OnRecordChange;
  TFormatEvent OnFormat;

  // ---- the language
  // Replaces the report by the definition (NUL-terminated, code page 1252). Errors are shown in
  // a message box; the result is true in every case.
  bool SetReportdaten(const char* text);
  // The number 0..70 of the keyword the text begins with, or 255.
  static int GetBefehl(const char* p);

  // ---- the model
  DruckReport_Struct* Neues_Objekt();
  void Clear_Report(bool keep);
  void SetDefaultwerte();
  void SetPFormat(int f, int d);
  TStringTab* GetDatenTab(int n) const;
  FVar* NeuVariable(const char* name);
  FVar* GetVariable(const char* name);
  FAktion* NeuAktion(FAktionListe* liste);
  Bitmap* GetBild(const char* name);
  TBitmap* GetFrameBild(int i);
  static int Str_in_Zahl(const char* a);
  // The sum or concatenation of a and b; valid until the next call. Null for a null argument.
  const char* AddStr(const char* a, const char* b, bool numeric);

  // ---- what layout, preview and PDF writer read
  DruckReport_Struct* ErstesObjekt() const { return first_; }
  DruckReport_Struct* Seitenframe() const { return pageFrame_; }
  // The inline table n (1..3) that a definition filled, or null.
  TStringTab* InlineTabelle(int n) const;
  const std::list<FVar>& Variablen() const { return vars_; }
  std::list<FVar>& Variablen() { return vars_; }
  const std::list<Bitmap>& Bilder() const { return bilder_; }
  int FrameBildCount() const { return int(frameBilder_.size()); }
  DruckReport_Vorgaben& Vorgaben() { return vorgaben_; }
  const DruckReport_Vorgaben& Vorgaben() const { return vorgaben_; }

  int BlattFormat = 0;    // 0 A4, 1 A5 (148.5 x 210 mm)
  int Dir = 0;            // 0 portrait, 1 landscape
  int32_t Seitenbreite = 2100;
  int32_t Seitenhoehe = 2970;
  int32_t RandOben = 100, RandUnten = 100, RandLinks = 100, RandRechts = 100;
  int32_t Seitenlimit = 1;   // `seiten`; 0 no limit
  int32_t Seitenanzahl = 1;  // page count
  int32_t AktSeite = 0;      // page shown in the preview, from 0
  int32_t ScrollOffset = 0;
  bool Neuzaehlen = true;    // a counting run is due
  bool Neuzeichnen = true;   // the page bitmaps must be rendered again
  bool Abbruch = false;      // set by a broken structure during layout
  // Preview geometry (SetGroesse).
  TRect Seitenrect;
  bool Tastenleiste = false;  // the page button bar is shown
  TScrollBar* ScrollBar() const { return scrollBar_; }

  // Computes the page rectangle and the scroll bar from the control's size.
  void SetGroesse();
  void Paint() override;
  void Dispatch(TMessage& msg) override;

 private:
  void EvGroesse(TMessage& msg);
  void HorChange(TObject* Sender);
  void FreeModel();

  friend class TReportParser;

  DefKonstrukt konstrukt_ = 0;
  QPointer<TStringTab> linked_[3];
  std::unique_ptr<TStringTab> inline_[3];
  // Every object ever created for this report; the list order is kept by Next.
  std::vector<std::unique_ptr<DruckReport_Struct>> objekte_;
  DruckReport_Struct* first_ = nullptr;
  DruckReport_Struct* pageFrame_ = nullptr;
  DruckReport_Vorgaben vorgaben_;
  std::list<FVar> vars_;
  std::unordered_map<std::string, FVar*> varIndex_;
  std::list<Bitmap> bilder_;
  std::vector<std::unique_ptr<TBitmap>> frameBilder_;
  std::string scratch_;
  uint64_t generation_ = 0;  // grows whenever the model is freed
  TScrollBar* scrollBar_ = nullptr;
};

namespace Druckreport {
// Puts TDruckReport on the palette page "Beispiele".
void Register();
}  // namespace Druckreport

}  // namespace komp
