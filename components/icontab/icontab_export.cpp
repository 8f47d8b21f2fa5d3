// TIconTab's ways out: export files, the clipboard (text and "HTML Format"), mail, another table.
//
//   Export / OnExport   the selected tab in six text layouts, streamed to a new file in chunks
//   OnTabKopie          the clicked tab as tab-separated text, with the HTML of all tabs
//   OnZellKopie         one cell as text
//   TextKopie           the clipboard write; HTMLKopie the HTML text with its header of offsets
//   OnEMail             the tables on the clipboard, then a "mailto:" address for pasting them
//   TextPaste           clipboard text into a string
//   Tab_Kopie           the first tab into another table, entry for entry
//
// Export, text and HTML write the same rows (AusgabeZeilen). A cell that holds the separator, CR
// or LF is quoted in the text layouts so that a reader finds the row again; any other cell goes
// out byte for byte.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "components/icontab/icontab.h"
#include "framework/cp1252.h"
#include "framework/file.h"
#include "framework/gui/dialogs.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

constexpr const char kHtmlFormat[] = "HTML Format";
constexpr const char kKopf[] =
    "Version:1.0\r\nStartHTML:000000151\r\nEndHTML:000001806\r\nStartFragment:000000159\r\n"
    "EndFragment:000000000\r\nStartSelection:000000159\r\nEndSelection:000000000\r\n";
static_assert(sizeof kKopf - 1 == 151);
constexpr int64_t kKopfMax = 999999999;  // nine digits per offset

bool Quoted(std::string_view s, char sep) {
  for (char ch : s)
    if (ch == sep || ch == '\r' || ch == '\n') return true;
  return false;
}

// A cell for the text layouts: quoted (inner quotes doubled) only when it holds sep, CR or LF.
void AddCell(std::string& out, std::string_view s, char sep) {
  if (!Quoted(s, sep)) {
    out.append(s);
    return;
  }
  out.push_back('"');
  for (char ch : s) {
    if (ch == '"') out.push_back('"');
    out.push_back(ch);
  }
  out.push_back('"');
}

// Cell text into HTML: markup characters escaped, the seven German letters by name, every other
// byte above 7F as the numeric reference of its Unicode character, so the payload is ASCII.
void AddHtml(std::string& out, std::string_view s) {
  size_t plain = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(s[i]);
    if (ch < 0x80 && ch != '&' && ch != '<' && ch != '>') continue;
    out.append(s.substr(plain, i - plain));
    plain = i + 1;
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case 0xC4: out += "&Auml;"; break;
      case 0xD6: out += "&Ouml;"; break;
      case 0xDC: out += "&Uuml;"; break;
      case 0xE4: out += "&auml;"; break;
      case 0xF6: out += "&ouml;"; break;
      case 0xFC: out += "&uuml;"; break;
      case 0xDF: out += "&szlig;"; break;
      default: {
        char buf[16] = "&#";
        auto [end, ec] = std::to_chars(buf + 2, buf + sizeof buf - 1, uint32_t(Cp1252ToUnicode(ch)));
        *end++ = ';';
        out.append(buf, size_t(end - buf));
      }
    }
  }
  out.append(s.substr(plain));
}

void AddNumber(std::string& out, int64_t v) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, size_t(end - buf));
}

// Bytes gathered and handed to the file a chunk at a time: the export never holds the whole file.
class Chunks {
 public:
  explicit Chunks(TNewFile& f) : f_(f) { buf_.reserve(kChunk + 64); }
  std::string& Buffer() { return buf_; }
  void Spill() {
    if (buf_.size() >= kChunk) Flush();
  }
  bool Flush() {
    if (!buf_.empty() && ok_) ok_ = f_.Write(buf_.data(), buf_.size());
    buf_.clear();
    return ok_;
  }

 private:
  static constexpr size_t kChunk = size_t(1) << 20;
  TNewFile& f_;
  std::string buf_;
  bool ok_ = true;
};

// RFC 6068: the UTF-8 bytes of the text, all but the unreserved characters as %XX.
std::string Percent(std::string_view cp1252) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char ch : Cp1252ToUtf8(cp1252)) {
    if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-' ||
        ch == '.' || ch == '_' || ch == '~') {
      out.push_back(char(ch));
    } else {
      out.push_back('%');
      out.push_back(hex[ch >> 4]);
      out.push_back(hex[ch & 15]);
    }
  }
  return out;
}

// Only the last path component tells whether a name has an extension.
bool HasExtension(std::string_view name) {
  const size_t slash = name.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return last.find('.') != std::string_view::npos;
}

}  // namespace

int TIconTab::AusgabeZeilen(const Tabdefinition& t) const {
  if (t.RealCols <= 0) return 0;
  int rows = t.RowCount();
  if (NeuerDatensatz && rows > t.FixedRows) --rows;
  const int64_t withEntries = (t.CellCount() + t.RealCols - 1) / t.RealCols;
  return int(std::min<int64_t>(rows, withEntries));
}

// ---------------------------------------------------------------- export

bool TIconTab::Export(const std::string& Datei, int Format) { return ExportSystem(ToSystemName(Datei), Format); }

bool TIconTab::ExportSystem(const std::string& SystemName, int Format) {
  auto fehler = [] {
    MessageBox(kExportFehler, "Fehler");
    return false;
  };
  const Tabdefinition* t = selected_;
  if (!t) return fehler();
  TNewFile file;
  if (!file.Create(SystemName)) return fehler();
  const char sep = Format == 1 || Format == 4 ? '\t' : Format == 2 || Format == 5 ? ';' : '#';
  const bool gruppe = Format >= 4 && Format <= 6;
  const int rows = AusgabeZeilen(*t), shown = std::min(t->Cols, t->RealCols);
  Chunks out(file);
  std::string& b = out.Buffer();
  for (int r = 0; r < rows; ++r) {
    const int group = gruppe ? t->Zeilen[size_t(r)]->Group : 0;
    for (int c = 0; c < shown; ++c) {
      if (c > 0) b.push_back(sep);
      if (c < group) b.push_back(' ');
      else AddCell(b, t->Cell(r, c), sep);
    }
    b += "\r\n";
    out.Spill();
  }
  if (!out.Flush() || !file.Commit()) {
    file.Discard();
    return fehler();
  }
  return true;
}

void TIconTab::OnExport(TObject*) {
  if (!selected_ || selected_->RowCount() == 0) return;
  TSaveDialog d(nullptr);
  d.Title = "Exportieren in Datei";
  d.Filter = kExportFilter;
  d.FilterIndex = 1;
  if (!d.Execute()) return;
  std::string name = d.SystemFileName.empty() ? ToSystemName(d.FileName) : d.SystemFileName;
  if (name.empty()) return;
  if (!HasExtension(name)) {
    name += ".txt";
    // The dialog asked about the name as typed, not about this one.
    if (FileExists(name) &&
        MessageBox("Die Datei " + FromSystemName(name) + " ist schon vorhanden.\nSoll sie ersetzt werden?",
                   "Exportieren in Datei", MB_YESNO, MB_ICONQUESTION) != IDYES)
      return;
  }
  ExportSystem(name, d.FilterIndex);
}

// ---------------------------------------------------------------- clipboard

std::string TIconTab::TabText(const Tabdefinition& t) const {
  std::string out;
  const int rows = AusgabeZeilen(t), shown = std::min(t.Cols, t.RealCols);
  for (int r = 0; r < rows; ++r) {
    if (r > 0) out += "\r\n";
    for (int c = 0; c < shown; ++c) {
      if (c > 0) out.push_back('\t');
      AddCell(out, t.Cell(r, c), '\t');
    }
  }
  return out;
}

bool TIconTab::TextKopie(std::string_view Text, bool MitHTML) {
  IClipboard* clip = Services().Clipboard;
  if (Text.empty() || !clip) return false;
  std::vector<std::pair<std::string, std::string>> formats;
  formats.emplace_back(kTextFormat, std::string(Text));
  if (MitHTML) {
    std::string html;
    // Too long for the header's offsets: a reader would take wrong ones, so the text goes alone.
    if (HTMLKopie(html)) formats.emplace_back(kHtmlFormat, std::move(html));
  }
  clip->SetData(formats);
  return true;
}

bool TIconTab::HTMLKopie(std::string& Out, bool OhneKopf) {
  if (!OhneKopf) Out.assign(kKopf);
  // Room for short cells up front, guessed without a pass over the cells: longer ones regrow it.
  int64_t need = 64 + int64_t(caption_.size()) * 8;
  for (const auto& tp : tabs_)
    need += 64 + int64_t(AusgabeZeilen(*tp)) * (16 + 32 * int64_t(std::min(tp->Cols, tp->RealCols)));
  Out.reserve(Out.size() + size_t(need));

  Out += "<html>\r\n<body>\r\n";
  if (titleHeight_ > 0 && !tabs_.empty()) {
    Out += "<caption><h2>\r\n";
    AddHtml(Out, caption_);
    Out += "\r\n</h2></caption>\r\n";
  }
  for (size_t ti = 0; ti < tabs_.size(); ++ti) {
    const Tabdefinition& t = *tabs_[ti];
    if (ti > 0) Out += "<br>\r\n";
    Out += "<table cellspacing=0 cellpadding=3 border=1>\r\n";
    const int rows = AusgabeZeilen(t), shown = std::min(t.Cols, t.RealCols);
    for (int r = 0; r < rows; ++r) {
      const RowDef& row = *t.Zeilen[size_t(r)];
      const bool fixed = r < t.FixedRows;
      Out += "<tr";
      if (row.Art == 2 || (fixed && row.Art == 0)) Out += " bgcolor=#dddddd";
      Out += ">\r\n";
      if (row.Art & 1) {
        Out += "<td align=left colspan=";
        AddNumber(Out, shown);
        Out += '>';
        AddHtml(Out, t.Cell(r, 0));
        Out += "</td>";
      } else {
        for (int k = 0; k < shown; ++k) {
          if (row.Group > k) continue;
          Out += fixed ? "<th" : "<td";
          if (!fixed) {
            // The rows below that leave this cell out: each is looked at once per column,
            // as the next written cell of the column starts after them.
            int n = 1;
            while (r + n < rows && t.Zeilen[size_t(r + n)]->Group > k) ++n;
            if (n > 1) {
              if (n > 2) Out += " valign=top ";
              Out += " rowspan=";
              AddNumber(Out, n);
            }
          }
          Out += '>';
          const std::string_view s = t.Cell(r, k);
          if (s.empty()) Out += "&nbsp;";
          else AddHtml(Out, s);
          Out += fixed ? "</th>\r\n" : "</td>\r\n";
        }
      }
      Out += "</tr>\r\n";
    }
    Out += "</table>\r\n";
  }
  Out += "</body>";
  if (OhneKopf) return true;
  const int64_t len = int64_t(Out.size());
  if (len > kKopfMax) return false;
  char digits[24];
  std::snprintf(digits, sizeof digits, "%09lld", static_cast<long long>(len));
  for (const char* key : {"EndHTML:", "EndFragment:", "EndSelection:"}) {
    const size_t at = std::string_view(kKopf).find(key) + std::strlen(key);
    Out.replace(at, 9, digits, 9);
  }
  return true;
}

void TIconTab::OnTabKopie(TObject*) {
  if (!clicked_) return;
  const std::string text = TabText(*clicked_);
  if (!text.empty()) TextKopie(text, true);
}

void TIconTab::OnZellKopie(TObject*) {
  Tabdefinition* t = clicked_;
  if (!t || t->CurrentRow < t->FixedRows) return;
  const std::string text = GetCell(currentCol_, t->CurrentRow, t->Nummer);
  TextKopie(text, false);
}

bool TIconTab::TextPaste(std::string& Str, int Pos) {
  IClipboard* clip = Services().Clipboard;
  if (!clip || !clip->HasText()) return false;
  const std::string text = clip->GetText();
  const size_t at = size_t(std::clamp<int64_t>(int64_t(Pos) - 1, 0, int64_t(Str.size())));
  Str.insert(at, text);
  return true;
}

// ---------------------------------------------------------------- mail

void TIconTab::OnEMail(TObject*) {
  const std::string address = "mailto:?Subject=" + Percent(caption_) + "&body=" +
                              Percent("Bitte Tabelle per Hand einf\xFCgen. Text markieren und klick auf "
                                      "'Einf\xFCgen'");
  TextKopie("Tab", true);
  if (IShell* shell = Services().Shell) shell->OpenUrl(address);
}

// ---------------------------------------------------------------- another table

void TIconTab::Tab_Kopie(TIconTab* Ziel) {
  if (!Ziel || tabs_.empty() || Ziel == this) return;
  const Tabdefinition& von = *tabs_.front();
  Ziel->SetTabelle(unsigned(von.RowCount()), unsigned(von.RealCols), von.Cols, 0);
  Tabdefinition* nach = Ziel->GetTabelle(0);
  if (nach && nach->RealCols == von.RealCols) {
    const int64_t room = int64_t(nach->RowCount()) * nach->RealCols;
    nach->Zellen.assign(von.Zellen.begin(), von.Zellen.begin() + std::min<int64_t>(von.CellCount(), room));
    for (int c = 0; c < von.RealCols; ++c) Ziel->SetColWidth(c, von.Spalten[size_t(c)].Width);
  }
  Ziel->FEndUpdate(false);
}

}  // namespace komp
