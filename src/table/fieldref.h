#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "table/fieldinfo.h"

namespace geovanta {

class DataTable;

// A field of the cursor's row, read and set with the table's value rules.
class FieldRef {
public:
    FieldRef(DataTable& table, FieldId id) : table_(&table), id_(id) {}
    FieldId id() const { return id_; }
    bool isNull() const;
    std::string asString() const;
    double asFloat() const;
    int64_t asInteger() const;  // nearest whole number, halves to even
    double asDateTime() const;
    void setAsString(std::string_view text);  // throws FieldError
    void setAsFloat(double value);
    void setAsInteger(int64_t value);
    void setAsDateTime(double days);
    void clear();

private:
    DataTable* table_;
    FieldId id_;
};

}  // namespace geovanta
