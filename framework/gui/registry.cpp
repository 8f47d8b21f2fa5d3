#include "framework/gui/registry.h"

namespace komp {

namespace {
std::vector<TPaletteEntry>& Entries() {
  static std::vector<TPaletteEntry> entries;
  return entries;
}
}  // namespace

void RegisterComponent(const std::string& page, const std::string& className,
                       std::function<TObject*(QWidget* owner)> create) {
  for (auto& e : Entries())
    if (e.ClassName == className) {
      e.Page = page;
      e.Create = std::move(create);
      return;
    }
  Entries().push_back({page, className, std::move(create)});
}

const std::vector<TPaletteEntry>& PaletteEntries() { return Entries(); }

const TPaletteEntry* FindPaletteEntry(const std::string& className) {
  for (const auto& e : Entries())
    if (e.ClassName == className) return &e;
  return nullptr;
}

}  // namespace komp
