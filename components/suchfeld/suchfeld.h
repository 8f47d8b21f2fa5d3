// TSuchfeld: the search bar a table attaches to itself. It does not search: it calls back
// into the attached table (TSuchEvent) and supplies the comparison the table uses (Vergleich).
//
//   column label | column button | search text | history button | case toggle | start button
//
// The history list is one top-most list window shared by every search field of the process.
#pragma once
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "framework/gui/controls.h"
#include "framework/gui/menus.h"
#include "framework/gui/stdctrls.h"
#include "framework/stringlist.h"

namespace komp {

class TListWindow;

// Modes the search field calls its target with; 4 + k chooses column k.
enum : int { smSuchen = 0, smAbmelden = 1, smAnmelden = 2, smEnter = 3, smSpalte = 4 };
using TSuchEvent = std::function<void(TControl* Ziel, int Modus)>;

// Result bits of Vergleich; the low bits count the matched characters.
constexpr int32_t kVergleichGleich = INT32_MIN;  // bit 31: both texts ended together
constexpr int32_t kVergleichAnfang = 1 << 30;    // bit 30: the cell starts with the search text
constexpr int32_t kVergleichAnzahl = (1 << 30) - 1;

class TSuchfeld : public TCustomPanel {
 public:
  explicit TSuchfeld(QWidget* owner);
  ~TSuchfeld() override;

  // Attaches the field to a target: the old one is told smAbmelden, the new one smAnmelden.
  // A target is the same when its control is (callbacks cannot be compared); a destroyed
  // target control is never called again.
  void Set_Suche(TSuchEvent Suche, TControl* Ziel);
  TControl* Ziel() const { return ziel_; }

  // -1 forgets the column names; otherwise shows the name of that column.
  void Set_Spalte(int Spalte);
  void Set_Spalten_Name(const std::string& Name, int Spalte);
  const TStringList& Spalten_Namen() const { return spalten_; }
  // Shows a name in the label, shortened with "..." to fit.
  void Text_Ausgabe(const std::string& Name);

  void SetText(const std::string& Text);
  std::string GetText() const;
  // The search text box; a table sends its typed characters there.
  TEdit* GetFenster() const { return text_; }
  void Focus();
  // True only while a search started by F3 or the start button runs: go on from the current row.
  bool GetVon() const { return von_; }
  // Compares the search text with a cell: matched characters, with kVergleichGleich or
  // kVergleichAnfang. Without the case toggle, letters and umlauts compare in either case.
  int32_t Vergleich(const std::string& Zelle) const;
  // The same with the search text given: a table comparing many cells reads it once.
  int32_t Vergleich(std::string_view Zelle, std::string_view Such) const;
  // Selects the part of the search text after the first Laenge characters; -1: the last one.
  void NotFund(int Laenge);

  // Opens the history list below (or above) the field.
  void Draw_Liste();
  // Takes history entry Index into the search text.
  void SetListIndex(int Index);
  const TStringList& Historie() const { return historie_; }
  bool GetGross() const { return gross_->Down(); }

  // Handlers of the child controls.
  void StartClick(TObject* Sender);
  void SpalteClick(TObject* Sender);
  void FensterClick(TObject* Sender);
  void AuswahlClick(TObject* Sender);
  void TasteUp(TObject* Sender, int& Key, TShiftState Shift);
  void TasteDown(TObject* Sender, int& Key, TShiftState Shift);
  void TastePress(TObject* Sender, char& Key);
  void TextExit(TObject* Sender);

  // The children, for hosts and tests that look at them.
  TLabel* SpaltenLabel() const { return label_; }
  TSpeedButton* SpaltenKnopf() const { return spalteKnopf_; }
  TSpeedButton* ListenKnopf() const { return listeKnopf_; }
  TSpeedButton* GrossKnopf() const { return gross_; }
  TSpeedButton* StartKnopf() const { return start_; }
  // The history list window shared by all fields, null while no field exists.
  static TListWindow* Liste();

 protected:
  // The screen the history list has to fit on, in screen coordinates.
  virtual TRect Bildschirm() const;

 private:
  void Melde(int Modus);
  void InHistorie();
  bool ListeOffen() const;
  void ListeZu();
  bool MausWatch(uint32_t Msg, TPoint Screen);

  TLabel* label_;
  TSpeedButton* spalteKnopf_;
  TEdit* text_;
  TSpeedButton* listeKnopf_;
  TSpeedButton* gross_;
  TSpeedButton* start_;
  TPopupMenu* menu_;

  TStringList spalten_;
  TStringList historie_;
  bool getippt_ = false;
  bool von_ = false;
  bool historieNeu_ = true;
  TSuchEvent suche_;
  TControl* zielRaw_ = nullptr;
  QPointer<TControl> ziel_;
};

namespace Suchfeld {
// Puts TSuchfeld on the palette page "Beispiele".
void Register();
}  // namespace Suchfeld

}  // namespace komp
