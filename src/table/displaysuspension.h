#pragma once
#include "table/datatable.h"

namespace geovanta {

// Suspends the table's display for a stretch of bulk work and resumes it
// however that work ends, so an error can never leave the grid frozen.
class DisplaySuspension {
public:
    explicit DisplaySuspension(DataTable& table) : table_(table) { table_.suspendDisplay(); }
    ~DisplaySuspension() { table_.resumeDisplay(); }
    DisplaySuspension(const DisplaySuspension&) = delete;
    DisplaySuspension& operator=(const DisplaySuspension&) = delete;

private:
    DataTable& table_;
};

}  // namespace geovanta
