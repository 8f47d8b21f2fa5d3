// The component palette: each component unit's Register puts its class on a page.
#pragma once
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace komp {

class TObject;

struct TPaletteEntry {
  std::string Page;
  std::string ClassName;
  std::function<TObject*(QWidget* owner)> Create;
};

void RegisterComponent(const std::string& page, const std::string& className,
                       std::function<TObject*(QWidget* owner)> create);
const std::vector<TPaletteEntry>& PaletteEntries();
const TPaletteEntry* FindPaletteEntry(const std::string& className);

template <class T>
void RegisterComponentClass(const std::string& page, const std::string& className) {
  RegisterComponent(page, className, [](QWidget* owner) -> TObject* { return new T(owner); });
}

}  // namespace komp
