// The report model of TDruckReport, without any widget: objects, defaults, paper, data tables,
// variables, actions and the named bitmap cache, and the parser that fills them.
//
//   records        DruckReport_Struct, DruckReport_Vorgaben, FVar, FAktion and their flags
//   errors         TReportFehler (the numbered parse errors), TReportError
//   diagnostics    IReportDiagnostics: how the model and the parser tell a person
//   TReportModel   the model; SetReportdaten parses a definition into it
//
// Files: reportmodel.cpp (model operations), numbers.cpp (text arithmetic), keywords.cpp
// (keyword and error tables), parser.cpp and statements.cpp (the language).
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
#include "framework/gui/graphics.h"

namespace komp {

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

// Why a definition was not read to its end. 1..17 stop with a message; a cancel stops silently.
enum TReportFehler : int {
  rfAbgebrochen = -1,           // the user cancelled at an unknown word
  rfKeiner = 0,
  rfObjektzuweisung = 1,        // a kind not right after `object`; fontart/tabelle outside a block
  rfUnvollstaendig = 2,         // a line ended while something was still due
  rfParameterwert = 3,          // a value with no value keyword waiting (guard)
  rfAusrichtung = 4,            // alignment or parameter in the wrong place
  rfSchriftart = 5,             // a style keyword without fontart
  rfFrameparameter = 6,         // oben or spalten outside a frame
  rfZuweisung = 7,              // a property with no block or no object
  rfEnd = 8,                    // end with no open block
  rfEigenschaft = 9,            // typ or getdbtext on an object that is no variable
  rfKeineVorgabe = 10,          // spalten or seiten after set
  rfTabellenauswahl = 11,       // tab1..tab3 without tabelle or data
  rfZeile = 12,                 // row outside a data block
  rfBedingung = 13,             // a condition, zahl or format without its selector
  rfZweiterSeitenframe = 14,
  rfSeitenframeImFrame = 15,
  rfVorgabeEigenschaft = 16,    // anzeige after set
  rfFehlendesEnd = 17,          // object inside an object
};
constexpr int kReportFehlerAnzahl = 17;
// The German message of error n (1..17), "" for any other n.
const char* ReportFehlerText(int n);

// The outcome of the last definition read: Number 0 (and Line 0) when it was read to its end.
struct TReportError {
  int Number = rfKeiner;
  int64_t Line = 0;
  friend bool operator==(const TReportError&, const TReportError&) = default;
};

// How the model tells a person. A handler may free the model or give it a new definition; the
// parser notices and stops without touching it.
class IReportDiagnostics {
 public:
  virtual ~IReportDiagnostics() = default;
  // A word where a keyword was due: up to 20 bytes of the text from it (line breaks included).
  // True reads on after the word; false stops reading (rfAbgebrochen).
  virtual bool UnknownWord(const std::string& text, int64_t line) = 0;
  // Reading stopped at error n (1..17) in the line.
  virtual void ParseError(int n, int64_t line) = 0;
  // Neues_Objekt could not allocate; the statement goes on without an object.
  virtual void OutOfMemory() = 0;
  // NeuVariable was given a name that exists.
  virtual void DuplicateVariable(const std::string& name) = 0;
};

using TGetBitmapEvent = std::function<void(const std::string& Name, TBitmap*& Bild)>;

class TReportModel {
 public:
  // A named bitmap of the cache.
  struct Bitmap {
    std::string Name;
    TBitmap Bild;
  };

  TReportModel();
  ~TReportModel();
  TReportModel(const TReportModel&) = delete;
  TReportModel& operator=(const TReportModel&) = delete;

  // Null: unknown words are read over and errors are only kept in LastError.
  void SetDiagnostics(IReportDiagnostics* d) { diagnostics_ = d; }
  IReportDiagnostics* Diagnostics() const { return diagnostics_; }

  // ---- the language
  // Frees the report, resets the defaults, reads the definition (NUL-terminated, code page
  // 1252) and sets A4 in the orientation it chose. False when a diagnostics handler freed this
  // model or gave it another definition meanwhile: then nothing of it may be touched.
  bool SetReportdaten(const char* text);
  // The number 0..70 of the keyword the text begins with, or 255.
  static int GetBefehl(const char* p);
  // Of the last SetReportdaten: {0, 0} when it was read to its end.
  TReportError LastError() const { return lastError_; }

  // ---- the model
  DruckReport_Struct* Neues_Objekt();
  // Frees objects, variables, cached bitmaps and inline tables; `keep` false also resets the
  // defaults.
  void Clear(bool keep);
  void SetDefaultwerte();
  void SetPFormat(int f, int d);
  // Host tables n (1..3), not owned; a freed one reads as unlinked.
  TStringTab* Tabelle(int n) const;
  void SetTabelle(int n, TStringTab* t);
  TStringTab* GetDatenTab(int n) const;
  // The inline table n (1..3) that a definition filled, or null.
  TStringTab* InlineTabelle(int n) const;
  FVar* NeuVariable(const char* name);
  FVar* GetVariable(const char* name);
  FAktion* NeuAktion(FAktionListe* liste);
  // The cached entry, made on first use and filled through `fetch` when given. Null when
  // `fetch` freed or cleared the model.
  Bitmap* GetBild(const char* name, const TGetBitmapEvent& fetch = {});
  static int Str_in_Zahl(const char* a);
  // The sum or concatenation of a and b; valid until the next call. Null for a null argument.
  const char* AddStr(const char* a, const char* b, bool numeric);

  DruckReport_Struct* ErstesObjekt() const { return first_; }
  DruckReport_Struct* Seitenframe() const { return pageFrame_; }
  const std::list<FVar>& Variablen() const { return vars_; }
  std::list<FVar>& Variablen() { return vars_; }
  const std::list<Bitmap>& Bilder() const { return bilder_; }
  DruckReport_Vorgaben& Vorgaben() { return vorgaben_; }
  const DruckReport_Vorgaben& Vorgaben() const { return vorgaben_; }

  int BlattFormat = 0;    // 0 A4, 1 A5 (148.5 x 210 mm)
  int Dir = 0;            // 0 portrait, 1 landscape
  int32_t Seitenbreite = 2100;
  int32_t Seitenhoehe = 2970;
  int32_t RandOben = 100, RandUnten = 100, RandLinks = 100, RandRechts = 100;
  int32_t Seitenlimit = 1;  // `seiten`; 0 no limit

  // Lets code that calls out (a message box, a host event) see whether this model is still the
  // one it was and holds the same report.
  class Guard {
   public:
    explicit Guard(const TReportModel& m) : model_(&m), life_(m.life_), generation_(m.generation_) {}
    bool Gone() const { return life_.expired() || model_->generation_ != generation_; }

   private:
    const TReportModel* model_;
    std::weak_ptr<const char> life_;
    uint64_t generation_;
  };

 private:
  friend class TReportParser;
  void Free();

  IReportDiagnostics* diagnostics_ = nullptr;
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
  std::string scratch_;
  TReportError lastError_;
  std::shared_ptr<const char> life_;
  uint64_t generation_ = 0;  // grows whenever the report is freed
};

}  // namespace komp
