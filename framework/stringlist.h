// An ordered list of 8-bit strings, each with an optional object pointer beside it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace komp {

class TStringList {
 public:
  struct Item {
    std::string text;
    void* object = nullptr;
  };

  int Count() const { return int(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Out-of-range indexes read as an empty string / null object.
  const std::string& operator[](int i) const;
  const std::string& Strings(int i) const { return (*this)[i]; }
  void* Objects(int i) const;
  void SetString(int i, std::string text);
  void SetObject(int i, void* object);

  int Add(std::string text, void* object = nullptr);
  // Inserts before index i (clamped to 0..Count()).
  void Insert(int i, std::string text, void* object = nullptr);
  void Delete(int i);
  void Clear() { items_.clear(); }
  void Exchange(int a, int b);
  void Move(int from, int to);
  // First index of an equal string, or -1.
  int IndexOf(std::string_view text) const;
  int IndexOfObject(const void* object) const;
  // Case-sensitive byte order sort; stable, so equal strings keep their order.
  void Sort();

  // Lines joined with CR LF; SetText splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(std::string_view text);
  // Comma-separated, with double quotes around items that hold a comma, a quote or a space.
  std::string CommaText() const;

  std::vector<Item>::const_iterator begin() const { return items_.begin(); }
  std::vector<Item>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<Item> items_;
};

}  // namespace komp
