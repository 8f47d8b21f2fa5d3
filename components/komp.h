// The package unit: puts every component of Komp on the palette page "Beispiele".
#pragma once

namespace komp {

void RegisterKomp();

}  // namespace komp
