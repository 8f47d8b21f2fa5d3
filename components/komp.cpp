#include "components/komp.h"

namespace komp {

void RegisterKomp() {
}

}  // namespace komp
