// The series/model catalogue: the series are the folders under ini\prm, the models the preset files in
// each of them. Both procedures rebuild KisyuList / KisyuTbl (app/Glb.h) in place.
#pragma once

#include "app/Variant.h"

// Lists the series folders into KisyuList. True (in a variant) when at least one was found.
Variant SearchTypeDir();
// Lists the series and then the models of every series into KisyuTbl. True when at least one model
// was found.
Variant SearchKisyu();
