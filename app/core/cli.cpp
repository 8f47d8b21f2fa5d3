#include "app/core/cli.h"

#include <unistd.h>

#include <iostream>
#include <optional>

#include "app/core/converter.h"
#include "framework/cp1252.h"

namespace brivox {

namespace {

using komp::Cp1252ToUtf8;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Below this a progress line would only flicker.
constexpr int64_t kProgressThreshold = 8 << 20;

const char kUsage[] =
    "Aufruf:\n"
    "  brivox                                   startet das Fenster\n"
    "  brivox export QUELLE [--size KB] [--name EXPORTNAME]\n"
    "                                           zerlegt QUELLE in Teildateien (Vorgabe: Export.txt,\n"
    "                                           ohne --size oder mit 0 eine einzige Datei)\n"
    "  brivox import TEIL                       setzt die Kette, zu der TEIL geh\xC3\xB6rt, wieder zusammen\n"
    "  brivox info TEIL                         zeigt Kopf, Zieldatei und vorhandene Teile\n"
    "  brivox verify TEIL                       pr\xC3\xBC" "ft die ganze Kette, ohne etwas zu schreiben\n"
    "  brivox --help                            diese Hilfe\n"
    "Relative Namen gelten im Verzeichnis der angegebenen Datei.\n"
    "Exit-Status: 0 Erfolg, 1 Fehler bei der Konvertierung oder Pr\xC3\xBC" "fung, 2 falscher Aufruf.\n";

class CliHost : public ConversionHost {
 public:
  CliHost(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ~CliHost() override { EndLine(); }

  void Message(const std::string& text, const std::string& caption) override {
    EndLine();
    err_ << Cp1252ToUtf8(caption) << ": " << Cp1252ToUtf8(text) << '\n';
    err_.flush();
  }
  void ProgressStart(int64_t maximum) override {
    EndLine();
    maximum_ = maximum;
    shown_ = -1;
    ++stretch_;
    ProgressPosition(0);
  }
  void ProgressPosition(int64_t position) override {
    if (!terminal_ || maximum_ < kProgressThreshold) return;
    const int percent = int(position * 100 / maximum_);
    if (percent == shown_) return;
    shown_ = percent;
    err_ << "\r" << stretch_ << ": " << percent << " %" << std::flush;
    open_ = true;
  }
  bool ProcessMessages() override { return true; }

 private:
  void EndLine() {
    if (open_) err_ << "\r\033[K" << std::flush;
    open_ = false;
  }

  std::ostream& err_;
  const bool terminal_;
  int64_t maximum_ = 0;
  int shown_ = -1;
  int stretch_ = 0;
  bool open_ = false;
};

struct ExportArgs {
  std::string source;
  std::string size;
  std::string name;
};

std::optional<ExportArgs> ParseExport(const std::vector<std::string>& a) {
  ExportArgs r;
  bool haveSource = false;
  for (size_t i = 1; i < a.size(); ++i) {
    const std::string& s = a[i];
    std::string* option = nullptr;
    std::string value;
    for (auto [flag, field] : {std::pair{"--size", &r.size}, std::pair{"--name", &r.name}}) {
      const std::string f = flag;
      if (s == f) {
        if (i + 1 >= a.size()) return std::nullopt;
        option = field;
        value = a[++i];
      } else if (s.rfind(f + "=", 0) == 0) {
        option = field;
        value = s.substr(f.size() + 1);
      }
    }
    if (option) {
      *option = value;
    } else if (!haveSource && (s.empty() || s[0] != '-' || s == "-")) {
      r.source = s;
      haveSource = true;
    } else {
      return std::nullopt;
    }
  }
  if (!haveSource) return std::nullopt;
  return r;
}

int Export(const ExportArgs& a, CliHost& host) {
  // Paths are the system's names as given; names stored in the pieces are 1252.
  ExportSettings s;
  s.sourcePath = a.source;
  s.directory = DirectoryOf(s.sourcePath);
  s.exportName = komp::ToStoredName(a.name);
  if (!CheckSizeText(a.size, host, &s.limit)) {
    ShowClosingMessage(host, false);
    return kExitFailed;
  }
  const bool ok = RunExport(s, host);
  ShowClosingMessage(host, ok);
  return ok ? kExitOk : kExitFailed;
}

// Reads the picked piece as the window does; nullopt (message shown) when it is none.
std::optional<ImportSettings> PickPiece(const std::string& utf8Path, CliHost& host) {
  ImportSettings s;
  s.piecePath = utf8Path;
  s.directory = DirectoryOf(s.piecePath);
  Inspection in = InspectFile(s.piecePath, host);
  if (in.kind == FileKind::Export) host.Message(kMsgWrongFormat, kCaptionWarning);
  if (in.kind != FileKind::Import) return std::nullopt;
  s.header = std::move(in.header);
  return s;
}

int Import(const std::string& piece, CliHost& host) {
  auto s = PickPiece(piece, host);
  if (!s) return kExitFailed;
  const bool ok = RunImport(std::move(*s), host);
  ShowClosingMessage(host, ok);
  return ok ? kExitOk : kExitFailed;
}

int Verify(const std::string& piece, CliHost& host, std::ostream& out) {
  auto s = PickPiece(piece, host);
  if (!s) return kExitFailed;
  const int64_t count = s->header.record.pieceCount;
  const ImportResult r = VerifyChain(std::move(*s), host);
  // No checksum in the format: say what was checked, and what cannot be.
  if (r.success)
    out << "Kette vollst\xC3\xA4ndig und wohlgeformt: " << count << " Teil(e), " << r.bytes
        << " Bytes\n"
        << "Gepr\xC3\xBC" "ft: K\xC3\xB6pfe, Reihenfolge und Zugeh\xC3\xB6rigkeit der Teile, Zeichen, "
           "L\xC3\xA4ngen der Teile und die Kodierung der Kette.\n"
        << "Nicht pr\xC3\xBC" "fbar (das Format hat keine Pr\xC3\xBC" "fsumme): ein Zeichen, das durch ein "
           "anderes g\xC3\xBCltiges ersetzt wurde, ganze Zeichen, die am Ende des letzten Teils mit "
           "Inhalt fehlen oder hinzukamen, und jede \xC3\x84nderung, nach der die Kette genau der "
           "Export einer anderen Datei ist.\n";
  else
    out << "Kette unvollst\xC3\xA4ndig oder fehlerhaft: " << r.pieces << " von " << count
        << " Teil(en) gelesen, " << r.bytes << " Bytes dekodiert\n";
  return r.success ? kExitOk : kExitFailed;
}

int Info(const std::string& piece, CliHost& host, std::ostream& out) {
  auto s = PickPiece(piece, host);
  if (!s) return kExitFailed;
  const HeaderState& h = s->header;
  const PieceHeader& r = h.record;
  out << "Datei:           " << piece << '\n'
      << "Kopf:            " << EncodeRecord(r) << '\n'
      << "Kopfl\xC3\xA4nge:       " << r.headerLength << '\n'
      << "Teil:            " << r.pieceNumber << " von " << r.pieceCount << '\n'
      << "Zieldatei:       " << Cp1252ToUtf8(h.targetName) << '\n'
      << "Erster Teil:     " << Cp1252ToUtf8(h.firstPieceName) << '\n'
      << "N\xC3\xA4" "chster Teil:   " << Cp1252ToUtf8(h.nextPieceName) << '\n'
      << "Teile der Kette:\n";
  // Follow the next-piece names while pieces are there; past a gap the names
  // follow from the first-piece name.
  std::string next;
  for (int64_t i = 1; i <= r.pieceCount; ++i) {
    std::string name = r.pieceCount < 2 ? BareName(s->piecePath)
                       : i == 1         ? h.firstPieceName
                       : !next.empty()  ? next
                                        : ChainPieceName(h.firstPieceName, i);
    next.clear();
    const std::string path = r.pieceCount < 2 ? s->piecePath : PiecePath(s->directory, name);
    const char* state = "fehlt";
    komp::TFile f;
    if (!name.empty() && f.Open(path, komp::TFile::Mode::Read)) {
      char magic[8];
      HeaderState ph;
      if (f.Read(magic, 8) == 8 && std::string_view(magic, 8) == kMagic && ReadHeader(f, ph) &&
          ph.record.pieceNumber == i && ph.record.pieceCount == r.pieceCount &&
          ph.targetName == h.targetName && ph.firstPieceName == h.firstPieceName) {
        state = "vorhanden";
        next = ph.nextPieceName;
      } else {
        state = "besch\xC3\xA4" "digt";
      }
    }
    out << "  " << i << "  " << (path.empty() ? std::string("?") : path) << "  " << state << '\n';
  }
  return kExitOk;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool terminal) {
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  CliHost host(err, terminal);
  if (command == "export") {
    const auto a = ParseExport(args);
    if (!a) {
      err << kUsage;
      return kExitUsage;
    }
    return Export(*a, host);
  }
  if ((command == "import" || command == "info" || command == "verify") && args.size() == 2) {
    if (command == "import") return Import(args[1], host);
    if (command == "info") return Info(args[1], host, out);
    return Verify(args[1], host, out);
  }
  err << kUsage;
  return kExitUsage;
}

int RunCommandLine(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return RunCommandLine(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}

}  // namespace brivox
