// The editing state of TIn without a window: text and its password shadow, cursor, selection,
// scroll offset and the modified flag. Widths come from the caller, so the control measures
// with its font and tests with whatever they like.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace komp {

class TInModel {
 public:
  using Measure = std::function<int(std::string_view)>;

  int MaxLength = 0;      // 0: no limit
  bool Numeric = false;   // typed characters limited to digits, ",", "." and "-"
  bool Passwort = false;  // shown, measured and hit-tested as one "*" per character
  bool Modified = false;

  const std::string& Text() const { return text_; }
  // What the field shows: the text, or the shadow when Passwort is on.
  const std::string& Shown() const { return Passwort ? shadow_ : text_; }
  int Length() const { return int(text_.size()); }
  int Cursor() const { return cursor_; }
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  bool HasSelection() const { return selLength_ > 0; }
  std::string Selected() const { return text_.substr(size_t(selStart_), size_t(selLength_)); }
  int Scroll() const { return scroll_; }

  // Replaces the text; a selection goes (and with it the modified flag), the scroll offset is 0.
  void SetText(std::string text);
  // Text, cursor, selection and scroll offset all back to the start; not modified.
  void Reset(std::string text);
  void SetCursor(int pos);  // clamped to the text
  void Select(int anchor, int pos);
  void SelectAll();
  void ClearSelection() { selLength_ = 0; }
  // The fixed end of the selection, the one the cursor is not at; the cursor without one.
  int Anchor() const;

  // Cursor keys. With `extend` (Shift) the selection runs from its anchor to the new cursor,
  // otherwise it goes. True when the selection changed.
  enum class TMove { Left, Right, Home, End };
  bool Move(TMove where, bool extend);
  // Removes the selected characters; the cursor goes to the selection start, which is returned.
  int DelSelect();

  // User edits; they set Modified when they change the text.
  // Backspace: the selection, or the character left of the cursor. True when anything went.
  bool Backspace();
  // Delete: the selection, or the character right of the cursor. True when anything went.
  bool Delete();
  enum class TypeResult { Inserted, Refused };
  // A typed character: a selection goes first, then the character is checked and inserted.
  TypeResult Type(char ch);
  // Inserts the whole text at the cursor (replacing a selection), unfiltered; cut to MaxLength.
  // The cursor moves by the length of the inserted text. True when the result had to be cut.
  bool Paste(const std::string& clip);
  // A new limit above 0 cuts a longer text. False when the value is ignored.
  bool SetMaxLength(int n);

  // Moves the scroll offset so that the cursor stays visible in `room` pixels of text area.
  // True when the offset changed.
  bool ScrollToCursor(int room, const Measure& width);
  // The character index under x, x counted from the left edge of the text area minus 4
  // (the text starts at 4): the first visible character whose middle lies right of x.
  int HitTest(int x, const Measure& width) const;
  // Width of the shown text from the scroll offset up to index `to`.
  int VisibleWidth(int to, const Measure& width) const;

  static bool NumericChar(char ch) { return (ch >= '0' && ch <= '9') || ch == ',' || ch == '.' || ch == '-'; }

 private:
  void Insert(int at, std::string_view s);
  void Erase(int at, int n);
  void Clamp();

  std::string text_;
  std::string shadow_;  // one "*" per character, always in step with the text
  int cursor_ = 0;
  int selStart_ = 0;
  int selLength_ = 0;
  int scroll_ = 0;
};

}  // namespace komp
