// TZeit: construction and properties, values, the clipboard (bytes and text), menu actions,
// message handlers (focus, keys, wheel, mouse), timers, Tab and Enter, painting, registration.
// The drop-down picker and the month dialog are in zeit_picker.cpp.
//
// Call flow of a keystroke: Dispatch -> TastePress -> TZeitModel::Key -> blink restart and
// repaint (both fields of a pair) -> Changing -> change timer -> OnTimer -> OnChange.
// Tab and Enter: TastePress leaves them to the parents -> DefaultHandler.
#include "components/datum/zeit.h"

#include <QPointer>
#include <cctype>
#include <cmath>
#include <cstring>

#include "framework/gui/menus.h"
#include "framework/gui/registry.h"
#include "framework/gui/services.h"
#include "framework/gui/timer.h"

namespace komp {

namespace {
constexpr const char* kClipFormat = "TDateTime";
constexpr TColor kGrey = RGB(128, 128, 128);
constexpr TColor kLight = FromRGBHex(0xEFEFEF);

// Menu items by Tag.
enum : intptr_t { miJetzt = 1, miKopieren, miEinfuegen, miDieserMonat, miLetzterMonat, miMonatsauswahl,
                  miDiesesJahr, miLetztesJahr };

TFont DigitFont(int size) {
  TFont f;
  f.Name = "Courier New";
  f.Size = size;
  f.Color = clBlack;
  return f;
}

TFont CaptionFont(int size) {
  TFont f;  // the framework's default face
  f.Size = size;
  f.Style = fsBold;
  f.Color = clBtnText;
  return f;
}

// A pure time of day from a time field of another program: the date checks of the model
// refuse it, as it lies on 30.12.1899.
std::optional<TDateTime> TimeOfDayBytes(const std::string& bytes) {
  if (bytes.size() != 8) return std::nullopt;
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) bits |= uint64_t(uint8_t(bytes[i])) << (8 * i);
  TDateTime v = 0;
  std::memcpy(&v, &bits, sizeof v);
  if (!std::isfinite(v) || v < 0 || v >= 1) return std::nullopt;
  return v;
}

// Reads n to m decimal digits at s[i]; false when fewer.
bool Digits(std::string_view s, size_t& i, size_t minN, size_t maxN, int& out) {
  size_t n = 0;
  out = 0;
  while (i < s.size() && n < maxN && s[i] >= '0' && s[i] <= '9') out = out * 10 + (s[i++] - '0'), ++n;
  return n >= minN;
}

// "d.m.yyyy" (day and month one or two digits) as a day number; none when impossible.
std::optional<TDateTime> ReadDate(std::string_view t) {
  size_t i = 0;
  int d = 0, m = 0, y = 0;
  if (!Digits(t, i, 1, 2, d) || i >= t.size() || t[i++] != '.') return std::nullopt;
  if (!Digits(t, i, 1, 2, m) || i >= t.size() || t[i++] != '.') return std::nullopt;
  if (!Digits(t, i, 4, 4, y) || i != t.size() || y < 1900) return std::nullopt;
  TDateTime v = 0;
  if (!TryEncodeDate(y, m, d, v)) return std::nullopt;
  return v;
}

// "h:mm" (hour one or two digits) as a time of day.
std::optional<TDateTime> ReadTime(std::string_view t) {
  size_t i = 0;
  int h = 0, mi = 0;
  if (!Digits(t, i, 1, 2, h) || i >= t.size() || t[i++] != ':') return std::nullopt;
  if (!Digits(t, i, 2, 2, mi) || i != t.size()) return std::nullopt;
  TDateTime v = 0;
  if (!TryEncodeTime(h, mi, 0, 0, v)) return std::nullopt;
  return v;
}

// A text as a person writes what the field shows: a date, a time, or both in either order,
// blanks apart. A date field needs the date, a time field the time; a date without a time
// in a field of both is midnight. Anything else in the text refuses it.
std::optional<TDateTime> ReadShownText(std::string_view text, TZeitStyle style) {
  std::optional<TDateTime> date, time;
  size_t i = 0;
  int parts = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size()) break;
    const size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::string_view word = text.substr(start, i - start);
    if (++parts > 2) return std::nullopt;
    if (auto d = ReadDate(word); d && !date) date = d;
    else if (auto t = ReadTime(word); t && !time) time = t;
    else return std::nullopt;
  }
  if (style == zaUhr) return time;
  if (!date) return std::nullopt;
  return *date + time.value_or(0);
}
}  // namespace

// ---------------------------------------------------------------- construction and properties

TZeit::TZeit(QWidget* owner) : TCustomControl(owner) {
  SetTabStop(true);
  menu_ = new TPopupMenu(this);
  auto item = [this](const char* caption, intptr_t tag, void (TZeit::*action)(TObject*)) {
    TMenuItem it;
    it.Caption = caption;
    it.Tag = tag;
    if (action) it.OnClick = [this, action](TObject* s) { (this->*action)(s); };
    menu_->Items.push_back(std::move(it));
  };
  item("Jetzt", miJetzt, &TZeit::FensterClick);
  item("-", 0, nullptr);
  item("Kopieren", miKopieren, &TZeit::Kopie);
  item("Einf\xFCgen", miEinfuegen, &TZeit::Paste);
  item("-", 0, nullptr);

  blinkTimer_ = new TTimer(this);
  blinkTimer_->SetEnabled(false);
  blinkTimer_->SetInterval(600);
  blinkTimer_->SetOnTimer([this](TObject* s) { Intervall(s); });
  changeTimer_ = new TTimer(this);
  changeTimer_->SetEnabled(false);
  changeTimer_->SetOnTimer([this](TObject* s) { OnTimer(s); });
  retryTimer_ = new TTimer(this);
  retryTimer_->SetEnabled(false);
  retryTimer_->SetInterval(1);
  retryTimer_->SetOnTimer([this](TObject*) {
    retryTimer_->SetEnabled(false);
    if (CanFocus()) SetFocus();
    else keepPosition_ = false;
  });
  SetStyle(zaDatum);
}

TZeit::~TZeit() {
  // A field coupled to this one must not reach into its model any more.
  for (auto& f : partnerOf_)
    if (f && f->model_.Kombi == &model_) {
      f->model_.Kombi = nullptr;
      f->kombi_ = nullptr;
    }
  model_.Kombi = nullptr;
  blinkTimer_->SetEnabled(false);
  changeTimer_->SetEnabled(false);
  retryTimer_->SetEnabled(false);
  PickerGone();
}

void TZeit::SetStyle(TZeitStyle s) {
  model_.SetStyle(s);
  const TSize m = TCanvas::MeasureText(DigitFont(fontSize_), "M");
  const int captionWidth = caption_.empty() ? 0 : TCanvas::MeasureText(CaptionFont(fontSize_), caption_).cx;
  layout_ = model_.Layout(m.cx, m.cy, !caption_.empty(), captionWidth);
  SetBounds(Left(), Top(), layout_.Breite, layout_.Hoehe);
  BuildBackground();
  Invalidate();
}

void TZeit::SetChange(bool zeitDatum) {
  model_.Zeit_Datum = zeitDatum;
  SetStyle(Style());
}

void TZeit::SetSize(int points) {
  if (points < 8) return;
  fontSize_ = points;
  SetStyle(Style());
}

void TZeit::SetCaption(const std::string& caption) {
  caption_ = caption;
  SetStyle(Style());
}

void TZeit::SetTitelColor(TColor c) {
  titelColor_ = c;
  SetStyle(Style());
}

void TZeit::SetPartner(TZeit* partner) {
  if (!partner || menu_->Items.size() >= 6) return;
  kombi_ = partner;
  model_.Kombi = &partner->model_;
  partner->partnerOf_.push_back(this);
  auto item = [this](const char* caption, intptr_t tag, void (TZeit::*action)(TObject*)) {
    TMenuItem it;
    it.Caption = caption;
    it.Tag = tag;
    it.OnClick = [this, action](TObject* s) { (this->*action)(s); };
    menu_->Items.push_back(std::move(it));
  };
  item("Dieser Monat", miDieserMonat, &TZeit::Dieser_Monat);
  item("Letzter Monat", miLetzterMonat, &TZeit::Letzter_Monat);
  item("Monatsauswahl", miMonatsauswahl, &TZeit::Monats_Wahl);
  item("Dieses Jahr", miDiesesJahr, &TZeit::Dieses_Jahr);
  item("Letztes Jahr", miLetztesJahr, &TZeit::Letztes_Jahr);
}

// ---------------------------------------------------------------- values and texts

void TZeit::Changed() {
  Invalidate();
  if (kombi_) kombi_->Invalidate();
}

void TZeit::SetValue(TDateTime v) {
  model_.SetValue(v);
  Changed();
}

void TZeit::SetAnsi(const std::string& text) {
  model_.SetAnsi(text);
  Changed();
}

bool TZeit::Test(int mode) {
  const bool ok = model_.Test(mode);
  if (!ok && mode != 2) Invalidate();  // the cursor went to the failing digit
  return ok;
}

void TZeit::Minuten(int n) {
  model_.Minuten(n);
  Invalidate();
}

void TZeit::Notify() {
  if (!OnChange) return;
  TZeitEvent handler = OnChange;  // may free this field
  handler(this, GetValue());
}

// ---------------------------------------------------------------- clipboard

std::optional<TDateTime> TZeit::ClipboardValue() const {
  IClipboard* cb = Services().Clipboard;
  if (!cb) return std::nullopt;
  if (cb->HasFormat(kClipFormat))
    if (const auto bytes = cb->GetData(kClipFormat)) {
      if (auto v = TZeitModel::FromClipboardBytes(*bytes)) return v;
      // Between two time fields the value is a bare time of day.
      if (Style() == zaUhr)
        if (auto t = TimeOfDayBytes(*bytes)) return t;
    }
  if (cb->HasText()) return ReadShownText(cb->GetText(), Style());
  return std::nullopt;
}

void TZeit::Kopie(TObject*) {
  IClipboard* cb = Services().Clipboard;
  if (!cb || !model_.Test(2)) return;
  // The text form is for programs that know no "TDateTime": date first, as it is written.
  std::string text;
  if (Style() != zaUhr) text = model_.DatumText();
  if (Style() != zaDatum && model_.TimeSet()) {
    if (!text.empty()) text += ' ';
    text += model_.UhrText();
  }
  cb->SetData({{kClipFormat, TZeitModel::ToClipboardBytes(GetValue())}, {kTextFormat, text}});
}

void TZeit::Paste(TObject*) {
  const auto v = ClipboardValue();
  if (!v) return;
  model_.SetValue(*v);
  model_.Change = true;
  Changed();
  Notify();
}

// ---------------------------------------------------------------- menu actions

void TZeit::FensterClick(TObject* Sender) {
  if (!model_.Jetzt(Now())) return;
  Invalidate();
  if (Sender) Notify();
}

void TZeit::Range(const std::optional<TZeitRange>& r, bool keepTime) {
  if (!r || !model_.ApplyRange(*r, keepTime)) return;
  Changed();
  Notify();
}

void TZeit::Dieser_Monat(TObject*) { Range(TZeitModel::DieserMonat(Now()), false); }
void TZeit::Letzter_Monat(TObject*) { Range(TZeitModel::LetzterMonat(Now()), false); }
void TZeit::Dieses_Jahr(TObject*) { Range(TZeitModel::DiesesJahr(Now()), false); }
void TZeit::Letztes_Jahr(TObject*) { Range(TZeitModel::LetztesJahr(Now()), false); }

void TZeit::KontextPopup(TObject*) {
  for (TMenuItem& it : menu_->Items) {
    switch (it.Tag) {
      case miKopieren: it.Enabled = model_.Test(2); break;
      case miEinfuegen: it.Enabled = ClipboardValue().has_value(); break;
      case miDieserMonat:
      case miLetzterMonat:
      case miMonatsauswahl:
      case miDiesesJahr:
      case miLetztesJahr: it.Enabled = Style() != zaUhr; break;
      default: break;
    }
  }
}

// ---------------------------------------------------------------- message handlers

void TZeit::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_SETFOCUS: EvActivate(msg); break;
    case WM_KILLFOCUS: KillFocus(msg); break;
    case WM_KEYDOWN: TastePress(msg); break;
    case CN_KEYDOWN: break;
    case WM_MOUSEWHEEL: MouseWheelHandler(msg); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: OnClick(msg); break;
    case WM_COPY: Kopie(this); break;
    case WM_PASTE: Paste(this); break;
    default: TCustomControl::Dispatch(msg); break;
  }
}

void TZeit::EvActivate(TMessage& msg) {
  focused_ = true;
  if (msg.WParam == FOCUS_MOUSE) mouseFocus_ = true;  // the press that follows places the cursor
  else if (!keepPosition_) model_.FocusGained();
  keepPosition_ = false;
  RestartBlink();
}

void TZeit::KillFocus(TMessage& msg) {
  focused_ = false;
  mouseFocus_ = false;
  blinkTimer_->SetEnabled(false);
  if (pressed_) {
    pressed_ = false;
    if (GetCapture() == this) ReleaseCapture();
  }
  TControl* to = FocusReceiver(msg);
  const bool cancelling = to && to->WindowText().rfind("Abbruch", 0) == 0;
  // A window that closes takes its fields along; there is nobody left to ask.
  if (to != this && !cancelling && Showing() && !model_.Test(1)) {
    QPointer<TZeit> self(this);
    const int answer = MessageBox("Kein g\xFCltiges Datum!", "Fehler", MB_RETRYCANCEL);
    if (!self) return;
    if (answer == IDRETRY) {
      // Taken back at once, the focus would be overridden by the move that is still under way.
      keepPosition_ = true;
      retryTimer_->SetEnabled(true);
    } else {
      model_.Clear();
    }
  }
  Invalidate();
}

void TZeit::TastePress(TMessage& msg) {
  const int vk = int(msg.WParam);
  const TShiftState ss = KeyShiftOf(msg);
  const bool ctrl = ss & ssCtrl, alt = ss & ssAlt;
  if (alt) {
    TCustomControl::Dispatch(msg);
    return;
  }
  if ((vk == VK_TAB || vk == VK_RETURN) && !ctrl) {
    if (vk == VK_RETURN && OnNextWindow) {
      TNotifyEvent handler = OnNextWindow;
      handler(this);
    } else {
      msg.Handled = false;  // to the parents, then to DefaultHandler
    }
    return;
  }
  // The desktop's copy and paste keys, beside the menu.
  if (ctrl && (vk == 'C' || vk == VK_INSERT)) {
    Kopie(this);
    return;
  }
  if ((ctrl && vk == 'V') || (!ctrl && (ss & ssShift) && vk == VK_INSERT)) {
    Paste(this);
    return;
  }
  TZeitKey key = TZeitKey::Digit;
  int digit = 0;
  if (!ctrl && vk >= '0' && vk <= '9') digit = vk - '0';
  else if (!ctrl && vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) digit = vk - VK_NUMPAD0;
  else if (vk == VK_BACK) key = TZeitKey::Backspace;
  else if (vk == VK_LEFT) key = TZeitKey::Left;
  else if (vk == VK_RIGHT) key = TZeitKey::Right;
  else if (vk == VK_SPACE) key = TZeitKey::Space;
  else if (vk == VK_UP) key = TZeitKey::Up;
  else if (vk == VK_DOWN) key = TZeitKey::Down;
  else {
    TCustomControl::Dispatch(msg);
    return;
  }
  const TZeitKeyResult r = model_.Key(key, digit, Now());
  if (!r.handled) return;
  RestartBlink();
  if (!r.changed) return;
  Changed();
  if (OnChange) Changing();
}

void TZeit::MouseWheelHandler(TMessage& msg) {
  // The wheel turns the field the person is typing in, not every field it passes over.
  if (!focused_) return;
  const int delta = msg.WheelDelta();
  if (delta == 120) Perform(WM_KEYDOWN, VK_UP, 0);
  else if (delta == -120) Perform(WM_KEYDOWN, VK_DOWN, 0);
}

void TZeit::OnClick(TMessage& msg) {
  const int x = msg.XPos(), y = msg.YPos();
  QPointer<TZeit> self(this);
  const bool press = msg.Msg == WM_LBUTTONDOWN || msg.Msg == WM_LBUTTONDBLCLK || msg.Msg == WM_RBUTTONDOWN ||
                     msg.Msg == WM_MBUTTONDOWN;
  if (press && !Focused()) {
    SetFocus(FOCUS_MOUSE);
    if (!self) return;
  }
  // A press that lands on a digit places the cursor there; any other one places it as the
  // keyboard would have.
  const bool onDigit = (msg.Msg == WM_LBUTTONDOWN || msg.Msg == WM_LBUTTONDBLCLK) &&
                       !(Height() > 10 && InKnopf(x)) && x >= layout_.TitelBreite;
  if (press && mouseFocus_ && !onDigit) model_.FocusGained();
  if (press) mouseFocus_ = false;

  switch (msg.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (Height() > 10 && InKnopf(x)) {
        pressed_ = true;
        SetCapture(this);
        Invalidate();
      } else if (onDigit) {
        const int p = model_.ColumnToPosition(x, layout_);
        if (p >= 0) model_.SetPosition(p);
        RestartBlink();
      }
      return;
    case WM_RBUTTONDOWN:
      if ((msg.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == MK_RBUTTON) {
        const TPoint at = ClientToScreen({x, y});
        KontextPopup(this);
        menu_->Popup(at.x, at.y, this);
      }
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const bool open = pressed_ && msg.Msg == WM_LBUTTONUP && InKnopf(x) && y >= 0 && y < Height();
      if (pressed_) {
        pressed_ = false;
        Invalidate();
      }
      if (GetCapture() == this) ReleaseCapture();
      if (open) TasteClick();
      return;
    }
    default: return;
  }
}

void TZeit::OnTimer(TObject*) {
  changeTimer_->SetEnabled(false);
  model_.ChangeFired();
  Notify();
}

void TZeit::Changing() {
  const int delay = model_.Changing();
  changeTimer_->SetEnabled(false);
  changeTimer_->SetInterval(delay);
  changeTimer_->SetEnabled(true);
}

void TZeit::RestartBlink() {
  blink_ = true;
  blinkTimer_->SetEnabled(false);
  if (focused_) blinkTimer_->SetEnabled(true);
  Invalidate();
}

void TZeit::Intervall(TObject*) { Blinken(); }

void TZeit::Blinken() {
  blink_ = !blink_;
  Invalidate();
}

// ---------------------------------------------------------------- Tab and Enter

void TZeit::DefaultHandler(TMessage& msg) {
  const TShiftState ss = KeyShiftOf(msg);
  if (msg.Msg != WM_KEYDOWN || (msg.WParam != VK_TAB && msg.WParam != VK_RETURN) || (ss & (ssCtrl | ssAlt))) {
    TCustomControl::DefaultHandler(msg);
    return;
  }
  // Through the parent's tab order, wrapping inside it.
  const bool forward = !(msg.WParam == VK_TAB && (ss & ssShift));
  TControl* parent = ParentControl();
  if (!parent) SelectNextControl(forward);
  else if (TControl* next = FindNextControl(parent, this, forward, true)) next->SetFocus(FOCUS_KEYBOARD);
}

// ---------------------------------------------------------------- painting

void TZeit::BuildBackground() {
  const TZeitLayout& l = layout_;
  const int W = l.Breite, H = l.Hoehe;
  background_.SetSize(W, H);
  TCanvas& c = background_.Canvas();
  c.Pen = TPen{};
  c.Brush = TBrush{clBtnFace, TBrushStyle::Solid};
  c.FillRect(Rect(0, 0, W, H));
  c.Frame3D(Rect(0, 0, W, H), FromRGBHex(0x8D8D8D), FromRGBHex(0xFDFDFD));

  if (!caption_.empty()) {
    c.Brush.Color = titelColor_;
    c.FillRect(Rect(1, 1, l.TitelBreite + 2, H - 2));
    c.Font = CaptionFont(fontSize_);
    c.Brush.Style = TBrushStyle::Clear;
    c.TextOut(3, 2, caption_);
    c.Brush.Style = TBrushStyle::Solid;
    c.Pen.Color = kGrey;
    c.MoveTo(l.TextStart - 4, 1);
    c.LineTo(l.TextStart - 4, H - 1);
  }

  // A white box behind each part, a grey line closing it on the right.
  for (int part = 0; part < model_.PartCount(); ++part) {
    const int textX = part == 0 ? l.TextStart : l.ZweitStart + 3;
    const int left = part == 0 ? l.TextStart - 3 : l.ZweitStart;
    const int right = textX + int(model_.PartText(part).size()) * l.w + 2;
    c.Brush.Color = clWhite;
    c.FillRect(Rect(left, 2, right, H - 2));
    c.Pen.Color = kGrey;
    c.MoveTo(right, 2);
    c.LineTo(right, H - 2);
    if (part == 1) {
      c.MoveTo(left, 2);
      c.LineTo(left, H - 2);
    }
  }

  if (H > 10) {
    const TRect knopf = Rect(l.KnopfX, 3, W - 3, H - 3);
    c.Frame3D(knopf, kLight, cl3DDkShadow);
    c.Frame3D(knopf.Inflate(-1, -1), kLight, cl3DDkShadow);
    // Row by row, so that the point stays sharp: w - 2 pixels wide, two narrower each row.
    const int tw = std::max(2, l.w - 2), rows = (tw + 1) / 2;
    const int left = (knopf.left + knopf.right - tw) / 2, top = (H - rows) / 2;
    c.Pen.Color = clBlack;
    for (int i = 0; i < rows; ++i) {
      c.MoveTo(left + i, top + i);
      c.LineTo(left + tw - i, top + i);
    }
  }
}

void TZeit::Paint() {
  TCanvas& c = Canvas();
  c.Draw(0, 0, background_);
  c.Font = DigitFont(fontSize_);
  if (!Enabled()) c.Font.Color = clGrayText;
  c.Brush.Style = TBrushStyle::Clear;
  c.TextOut(layout_.TextStart, 2, model_.PartText(0));
  if (model_.PartCount() > 1) c.TextOut(layout_.ZweitStart + 3, 2, model_.PartText(1));
  c.Brush.Style = TBrushStyle::Solid;
  if (pressed_) {
    const TRect r = Rect(layout_.KnopfX - 1, 1, Width() - 1, Height() - 1);
    c.Frame3D(r, cl3DDkShadow, kLight);
    c.Frame3D(r.Inflate(-1, -1), cl3DDkShadow, kLight);
  }
  if (focused_ && blink_ && model_.Position() >= 0) c.InvertRect(model_.CursorCell(model_.Position(), layout_));
}

namespace Datum {
void Register() { RegisterComponentClass<TZeit>("Beispiele", "TZeit"); }
}  // namespace Datum

}  // namespace komp
