// TKalender: the duty-day calendar on screen. The model (kalendermodel.h) decides; this control
// paints it, maps the mouse and keys to it and tells the host.
//
//   title line    (0, 0)-(width, 20): month and year; "<" and ">" in its corners; a press on
//                 the month name drops the month list
//   day image     the off-screen 178 x 141 grid, shown at BildPos() under the title
//   today label   under the image, in display mode only
//
// Clicks on the image and the model's answer (TKalenderAktion) run: message box, redraw, then
// the application message to the active window (WM_APP + 400 / + 401) and OnNachricht.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "components/kalender/kalendermodel.h"
#include "framework/gui/controls.h"
#include "framework/gui/graphics.h"
#include "framework/gui/stdctrls.h"

namespace komp {

class TKalender;

// The month list dropped from the title: twelve names, one selected. A painted list rather
// than a stock one, because the calendar needs its presses, releases, keys and focus loss.
class TKalenderListe : public TCustomControl {
 public:
  explicit TKalenderListe(TKalender* owner);
  static constexpr int kBreite = 66, kHoehe = 162, kZeilenHoehe = 13, kOben = 3;
  int ItemIndex() const { return index_; }
  void SetItemIndex(int i);
  int Count() const { return 12; }
  // The item under a point of the list, or -1.
  int ItemAt(TPoint p) const;
  TRect ItemRect(int i) const;
  void Paint() override;
  void Dispatch(TMessage& msg) override;

 private:
  friend class TKalender;
  TKalender* kalender_;  // null once the calendar is going
  int index_ = -1;
};

class TKalender : public TCustomControl {
 public:
  enum TMouseButton { mbLeft, mbRight, mbMiddle };

  explicit TKalender(QWidget* owner);
  ~TKalender() override;

  // The place of the parts on the control, and the size that holds them all.
  static constexpr int kBildX = 0, kBildY = kalender::kTitelHoehe;
  static constexpr int kBreite = kalender::kBildBreite;
  static constexpr int kHoehe = kBildY + kalender::kBildHoehe + 21;
  static TPoint BildPos() { return {kBildX, kBildY}; }

  // ---- the interface
  // Shows the month; `Liste` is null or 45 bytes the host keeps alive. False for a month that
  // cannot be shown (nothing changes then).
  bool Init(uint16_t Jahr, uint16_t Monat, int Markier, const uint8_t* Liste);
  // Draws the day image (Voll: with header and week column) and shows it with the title.
  void Zeichne_Kalender(bool Voll);
  static int Get_Kalenderwoche(int Jahr, TDateTime Datum) { return TKalenderModel::Get_Kalenderwoche(Jahr, Datum); }
  void Setze_Daten(const uint8_t* Daten);
  const TEintragListe& Get_Daten() const { return model_.Get_Daten(); }
  // False: too many runs for Anzahl entries; the box was shown and the list kept.
  bool Get_Eintraege(uint8_t* Ziel, int Anzahl);
  void Del_Eintraege();
  bool Get_Marker(int Anzahl);
  void Del_Marker(bool Zeichnen);
  void Setze_Modus(bool Edit);
  void Setze_Heute();
  TDateTime Get_Datum() const { return model_.Get_Datum(); }
  bool Setze_Datum(TDateTime Datum);
  void Setze_Farbmodus(int Modus);
  void Setze_JahresBlock(bool An);
  int Get_Jahr() const { return model_.Get_Jahr(); }
  int Get_Monat() const { return model_.Get_Monat(); }
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  // A press on the day image, in image coordinates.
  void ZFMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // A press on the title line, in control coordinates.
  void Monats_NameMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The month list's handlers, in list coordinates.
  void ListBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ListBox1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ListBox1KeyDown(TObject* Sender, int& Key, TShiftState Shift);
  void ListBox1Exit(TObject* Sender);
  void Paint() override;
  void Steuerung() {}

  // Every message also sent to the active window (WM_APP + 400 or + 401), after it was sent:
  // for hosts whose window is not a framework form.
  std::function<void(TObject* Sender, uint32_t Msg, intptr_t WParam, intptr_t LParam)> OnNachricht;

  // ---- the parts, for hosts and tests
  const TKalenderModel& Model() const { return model_; }
  TBitmap& Bild() { return bild_; }
  const TImageList& Bilder() const { return bilder_; }
  TSpeedButton* SpeedButton1() const { return zurueck_; }
  TSpeedButton* SpeedButton2() const { return vor_; }
  TLabel* HeuteLabel() const { return heute_; }
  TKalenderListe* ListBox1() const { return liste_; }
  // Where the title is written, in control coordinates.
  TPoint TitelPos() const;

  void Dispatch(TMessage& msg) override;

 private:
  void Ausfuehren(const TKalenderAktion& a);
  void Melden(int n, intptr_t w, intptr_t l);
  void Knoepfe();
  void ZuVieleMelden();
  void BildZeichnen(bool voll);
  void TitelZeichnen(TCanvas& c);
  void ListeZu();
  void EvMausDown(TMessage& msg);
  TPoint ListenPunkt(const TMessage& msg) const;

  TKalenderModel model_;
  TBitmap bild_;
  TImageList bilder_;
  TSpeedButton* zurueck_;
  TSpeedButton* vor_;
  TLabel* heute_;
  TKalenderListe* liste_;
  bool listeNeu_ = false;  // the list opened with the press still held
  bool malen_ = false;     // inside Paint: the control's canvas is ready
};

namespace Kalender {
// Puts TKalender on the palette page "Beispiele".
void Register();
}  // namespace Kalender

}  // namespace komp
