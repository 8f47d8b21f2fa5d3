#include "components/komp.h"

#include "components/datum/zeit.h"
#include "components/icontab/icontab.h"
#include "components/druckreport/druckreport.h"
#include "components/in/in.h"
#include "components/kalender/kalender.h"
#include "components/stringtab/stringtab.h"
#include "components/suchfeld/suchfeld.h"
#include "components/tabelle/tabelle.h"
#include "components/taste/taste.h"

namespace komp {

void RegisterKomp() {
  Taste::Register();
  In::Register();
  Druckreport::Register();
  Stringtab::Register();
  Suchfeld::Register();
  Datum::Register();
  Kalender::Register();
  Tabelle::Register();
  IconTab::Register();
}

}  // namespace komp
