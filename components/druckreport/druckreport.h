// TDruckReport: a report control driven by a small German report definition language.
//
// The report itself is a TReportModel (reportmodel.h), which the control owns and shows; the
// control keeps the view: page rectangle, scroll offset, shown page, page bitmaps, repaint flag.
// The unit is split by concern:
//   reportmodel.h/.cpp  the model: records, defaults, paper, tables, variables, bitmap cache
//   numbers.cpp         Str_in_Zahl and AddStr (text arithmetic of report variables)
//   parser.h, keywords.cpp, parser.cpp, statements.cpp   the definition language
//   druckreport.h       the control (this file); its names delegate to the model
//   control.cpp         construction, the message boxes of the model, registration
//   preview.cpp         the preview: geometry, page bitmaps kept in a small cache, painting,
//                       page buttons, mouse, wheel and scroll bar
//   output.h/.cpp       where a layout goes: counting, a canvas page, a PDF content stream
//   layout.h, layout*.cpp   the layout engine (frames, rules, placement, text lines)
//   output_control.cpp  DrawCanvas, SaveasPDF, Drucken: the control runs the engine
//
// Call flow of a definition: SetReportdaten -> Clear_Report(false) -> the model parses into the
// flat object list (nesting by Parent), telling errors through IReportDiagnostics, which the
// control answers with message boxes -> SetPFormat -> SetGroesse -> repaint.
#pragma once
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "components/druckreport/layout.h"
#include "components/druckreport/output.h"
#include "components/druckreport/reportmodel.h"
#include "components/stringtab/stringtab.h"
#include "framework/gui/canvas.h"
#include "framework/gui/controls.h"
#include "framework/gui/graphics.h"

namespace komp {

class TScrollBar;

// Konstrukt bits: outlines shown on the screen only.
using DefKonstrukt = uint16_t;
enum : DefKonstrukt { kkBitmap = 2, kkText = 4, kkFrame = 8 };

using TRecordChangeEvent = std::function<void(TObject* Sender, int Tab, int Position)>;
using TFormatEvent = std::function<void(TObject* Sender, const char* Name, std::string& Str)>;

class TDruckReport : public TCustomControl, private IReportDiagnostics, private IReportHost {
  // First, so that the names below that refer into it are bound to a constructed model.
  TReportModel model_;

 public:
  using Bitmap = TReportModel::Bitmap;

  explicit TDruckReport(QWidget* owner);
  ~TDruckReport() override;

  // The report without the view, for layout and outputs.
  TReportModel& Model() { return model_; }
  const TReportModel& Model() const { return model_; }

  // ---- published
  DefKonstrukt Konstrukt() const { return konstrukt_; }
  void SetKonstrukt(DefKonstrukt k);
  // Align comes from TControl. Linked tables belong to the host; a freed one reads as unlinked.
  TStringTab* Tabelle1() const { return model_.Tabelle(1); }
  TStringTab* Tabelle2() const { return model_.Tabelle(2); }
  TStringTab* Tabelle3() const { return model_.Tabelle(3); }
  void SetTabelle1(TStringTab* t) { model_.SetTabelle(1, t); }
  void SetTabelle2(TStringTab* t) { model_.SetTabelle(2, t); }
  void SetTabelle3(TStringTab* t) { model_.SetTabelle(3, t); }
  TGetBitmapEvent OnGetBitmap;
  TNotifyEvent OnDruck;
  TRecordChangeEvent OnRecordChange;
  TFormatEvent OnFormat;

  // ---- the language
  // Replaces the report by the definition (NUL-terminated, code page 1252). Errors are shown in
  // a message box and kept for LastError; the result is true in every case.
  bool SetReportdaten(const char* text);
  // The number 0..70 of the keyword the text begins with, or 255.
  static int GetBefehl(const char* p) { return TReportModel::GetBefehl(p); }
  // Of the last SetReportdaten: {0, 0} when it was read to its end, else the error number
  // (TReportFehler; rfAbgebrochen when the user cancelled at an unknown word) and its line.
  TReportError LastError() const { return model_.LastError(); }

  // ---- the model
  DruckReport_Struct* Neues_Objekt() { return model_.Neues_Objekt(); }
  void Clear_Report(bool keep);
  void SetDefaultwerte();
  void SetPFormat(int f, int d) { model_.SetPFormat(f, d); }
  TStringTab* GetDatenTab(int n) const { return model_.GetDatenTab(n); }
  FVar* NeuVariable(const char* name) { return model_.NeuVariable(name); }
  FVar* GetVariable(const char* name) { return model_.GetVariable(name); }
  FAktion* NeuAktion(FAktionListe* liste) { return model_.NeuAktion(liste); }
  // Asks OnGetBitmap the first time a name is needed.
  Bitmap* GetBild(const char* name) { return model_.GetBild(name, OnGetBitmap); }
  TBitmap* GetFrameBild(int i);
  static int Str_in_Zahl(const char* a) { return TReportModel::Str_in_Zahl(a); }
  // The sum or concatenation of a and b; valid until the next call. Null for a null argument.
  const char* AddStr(const char* a, const char* b, bool numeric) {
    return model_.AddStr(a, b, numeric);
  }

  // ---- what layout, preview and PDF writer read
  DruckReport_Struct* ErstesObjekt() const { return model_.ErstesObjekt(); }
  DruckReport_Struct* Seitenframe() const { return model_.Seitenframe(); }
  // The inline table n (1..3) that a definition filled, or null.
  TStringTab* InlineTabelle(int n) const { return model_.InlineTabelle(n); }
  const std::list<FVar>& Variablen() const { return model_.Variablen(); }
  std::list<FVar>& Variablen() { return model_.Variablen(); }
  const std::list<Bitmap>& Bilder() const { return model_.Bilder(); }
  // Page bitmaps held in memory now: at most kSeitenbilder, whatever the page count.
  int FrameBildCount() const;
  static constexpr int kSeitenbilder = 4;
  DruckReport_Vorgaben& Vorgaben() { return model_.Vorgaben(); }
  const DruckReport_Vorgaben& Vorgaben() const { return model_.Vorgaben(); }

  // The paper and the page limit are the model's; these names read and write it.
  int& BlattFormat{model_.BlattFormat};  // 0 A4, 1 A5 (148.5 x 210 mm)
  int& Dir{model_.Dir};                  // 0 portrait, 1 landscape
  int32_t& Seitenbreite{model_.Seitenbreite};
  int32_t& Seitenhoehe{model_.Seitenhoehe};
  int32_t& RandOben{model_.RandOben};
  int32_t& RandUnten{model_.RandUnten};
  int32_t& RandLinks{model_.RandLinks};
  int32_t& RandRechts{model_.RandRechts};
  int32_t& Seitenlimit{model_.Seitenlimit};  // `seiten`; 0 no limit

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

  // ---- output
  // Lays the report out onto `out`: first a counting run on the same measures when the page
  // limit is not 1 (so "Seite x von y" is right for this output), then the drawing run.
  // False when the run stopped (structure error, device failure, or the report was freed or
  // redefined by a callback).
  bool DrawCanvas(IReportOutput& out);
  // Writes the report as a PDF file (a code page 1252 name); false on any failure, and then no
  // file (nor a half one) is left.
  bool SaveasPDF(const char* name);
  // Prints through the framework's printer; false when there is no printer or the run failed.
  bool Drucken(const char* title, int copies);
  // Lays the report out into the page bitmaps (GetFrameBild), the page at Seitenrect.
  bool RenderPreview();
  // Wraps a text to `width` pixels of the canvas; the lines are in Textzeilen().
  int GetTextzeilen(const char* text, const TCanvas& canvas, int startLine, int width);
  const std::vector<TTextzeile>& Textzeilen() const { return textzeilen_; }

  // Computes the page rectangle and the scroll bar from the control's size.
  void SetGroesse();
  void Paint() override;
  void Dispatch(TMessage& msg) override;
  // Draws page button i (0 "<<", 1 "<", 2 ">", 3 ">>"), or all four for -1.
  void DrawButton(TCanvas& c, int i);
  // The page button under (x, y) while the bar is shown, else -1.
  int TasteBei(int x, int y) const;
  TRect TastenRect(int i) const;
  // The pressed page button of this control, or -1.
  int GedrueckteTaste() const;
  // Layout runs into the page bitmaps (full runs and single pages on demand), for tests.
  int Renderlaeufe() const { return renderlaeufe_; }
  // Milliseconds the preview counts pages in one go. A longer count shows the first pages at
  // once, with "…" for the total, and goes on in slices between the user's input.
  int Zaehlscheibe = 40;
  bool ZaehltNoch() const { return zaehltNoch_; }

 private:
  void EvGroesse(TMessage& msg);
  void PreviewBackground(TBitmap& b);
  void HorChange(TObject* Sender);
  void MouseClick(TMessage& msg);
  void MouseWheel(TMessage& msg);
  void MouseMoveMessage(TMessage& msg);
  // Lays the report out again and keeps page p and its neighbours, into their bitmaps.
  bool RenderPage(int p);
  // Pages lo..hi into their bitmaps, from the nearest kept state.
  bool DrawPages(int lo, int hi);
  // A counting slice from the start or from the last kept state: 1 counted, 0 suspended
  // (goes on on the clock), -1 failed or the report is gone.
  int Zaehle(bool vonAnfang);
  void ZaehlWeiter();
  void StopZaehlen();
  // Shows or hides the page button bar as the count says; true when it changed.
  bool LeisteFolgen();
  // Lets go of a page button this control holds (it is going away).
  void LoesTaste();
  void PreviewSize(int& w, int& h) const;

  // The model's diagnostics, shown as message boxes.
  bool UnknownWord(const std::string& text, int64_t line) override;
  void ParseError(int n, int64_t line) override;
  void OutOfMemory() override;
  void DuplicateVariable(const std::string& name) override;
  // What the layout asks of the control.
  void RecordChange(int tab, int position) override;
  void Format(const char* name, std::string& value) override;
  const TBitmap* Bild(const std::string& name) override;
  void TwoPageBreaks() override;

  DefKonstrukt konstrukt_ = 0;
  // One slot per page; only a few hold a bitmap, the least recently used one gives way.
  struct Seitenbild {
    std::unique_ptr<TBitmap> bild;
    uint64_t benutzt = 0;
    bool gezeichnet = false;  // holds its page as of the last run
  };
  std::vector<Seitenbild> frameBilder_;
  uint64_t bildUhr_ = 0;
  TCanvas leer_;  // has no device: pages that are not kept are drawn nowhere
  int renderlaeufe_ = 0;
  std::unique_ptr<TLayoutCheckpoints> punkte_;  // states at page starts from the last count
  bool zaehltNoch_ = false;
  int zaehlTimer_ = 0;
  TScrollBar* scrollBar_ = nullptr;
  std::vector<TTextzeile> textzeilen_;
};

namespace Druckreport {
// Puts TDruckReport on the palette page "Beispiele".
void Register();
}  // namespace Druckreport

}  // namespace komp
