#pragma once
// A document's own rows for a test to set up its fixture, as a load would
// have put them there. Only for a document no work holds.

#include "app/document.h"
#include "table/datatable.h"

namespace geovanta::test {

inline DataTable& rowsOf(Document& document) { return document.lease("test")->rows(); }

}  // namespace geovanta::test
