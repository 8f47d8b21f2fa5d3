// The in-cell editor of TIconTab: the editing state without a window (text lines, caret,
// selection, the bound list), tested on its own; icontab_editor.cpp also holds the control's
// side of it (loading a cell, committing, the box, the caret, the drop-down list).
//
// Offsets count a line break as 2 characters (CR LF), as the texts leave and enter the cell.
#pragma once
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/types.h"

namespace komp {

class TIconTab;
class TListWindow;
class TStringList;
class TStringTab;
struct Tabdefinition;
struct RowDef;

// Caret: line, character in the line, and the characters the line is scrolled to the left.
struct Cursordef {
  int Zeile = 0;
  int Zeichen = 0;
  int Scroll = 0;
};

// Input kinds of a cell.
enum : uint8_t { eaText = 0, eaListe = 1, eaTabelle = 2, eaStringTab = 3 };

// Filled by OnGetFilter when a cell opens; Art 0 leaves the editor's defaults. The list is
// given typed: Strings for kind 1, Tabelle for kind 2, StringTab for kind 3.
struct Filter_Struct {
  uint8_t Art = eaText;
  TStringList* Strings = nullptr;
  TIconTab* Tabelle = nullptr;
  TStringTab* StringTab = nullptr;
  int32_t Spalte = 0;
  int32_t Reserve = -1;
  uint8_t Owned = 0;  // 1: the editor frees the list when another replaces it
  bool Select = false;
};

class TZellEditor {
 public:
  TZellEditor();
  ~TZellEditor();
  TZellEditor(const TZellEditor&) = delete;
  TZellEditor& operator=(const TZellEditor&) = delete;

  bool Modified = false;
  bool Shown = false;  // the caret is visible
  int Column = -1;
  uint8_t Kind = eaText;
  int SelStart = 0;
  int SelLength = 0;  // -1: none (kind 1)
  int BoxLines = 1;
  TRect Box;
  Cursordef Caret;
  int ListIndex = -1;
  int ListColumn = 0;
  int Reserved = -1;
  bool ListSelect = false;
  // Where editing began: a commit goes there, whatever tab is selected by then.
  Tabdefinition* Tab = nullptr;
  int Row = -1;
  const RowDef* RowRecord = nullptr;

  // ---- the bound list
  // Replaces the list by the filter's; an owned list is freed.
  void SetList(const Filter_Struct& f);
  TStringList* Strings() const { return strings_; }
  // Null once the host freed the bound table: completion ends there.
  TIconTab* Tabelle() const;
  TStringTab* StringTab() const;
  bool HasList() const;
  std::unique_ptr<TListWindow> DropDown;

  // ---- text
  const std::vector<std::string>& Lines() const { return lines_; }
  // Line -1: the whole text, split at CR and LF (CR LF is one break); else only line n,
  // up to the first CR or LF.
  void SetString(int line, std::string_view text);
  // 0 the whole text, 1 before the caret, 2 from the caret, 3 the selection; CR LF between lines.
  std::string GetTextStr(char mode) const;
  int GetTextLength() const;
  bool IfTextStr() const { return lines_.size() > 1 || !lines_[0].empty(); }
  bool IfTextLastPos(int line, int pos) const {
    return line == int(lines_.size()) - 1 && pos >= int(lines_.back().size());
  }
  int Offset(int line, int pos) const;
  int CaretOffset() const { return Offset(Caret.Zeile, Caret.Zeichen); }
  Cursordef PosinCurPos(int offset) const;
  // Inserts text at (line, pos), splitting it at line breaks; the caret, when given, goes
  // after it.
  void InsertText(int line, int pos, Cursordef* caret, std::string_view text);
  // Removes count characters from (line, pos) on, joining lines across a break; count -1
  // removes the one before (pos), the caret follows.
  void DeleteText(int line, int pos, int count);
  // Removes the selection; the caret goes to its start. False without a selection.
  bool DelSelect();
  bool HasSelection() const { return SelLength > 0; }
  // Moves the caret by n characters, crossing line ends; stops at the ends of the text.
  void Move(int n);
  // Caret to a text offset; with extend the selection runs from its fixed end to there,
  // otherwise it goes.
  void MoveTo(int offset, bool extend);
  // Selects from the given place to the end of the text (the rest of a completion).
  void SetSelStart(int line, int pos);
  void SelectAll();

 private:
  int Clamp(int offset) const;
  std::vector<std::string> lines_{std::string()};
  TStringList* strings_ = nullptr;
  QPointer<TIconTab> tabelle_;
  QPointer<TStringTab> stringTab_;
  bool owned_ = false;
};

}  // namespace komp
