#pragma once
// "Очистить таблицу": empties the table and starts the track numbers again,
// so that a second trip needs no restart. Asks first.

namespace geovanta {

class DataTable;
class Dialogs;
struct ProgramState;

class ClearCommand {
public:
    static constexpr const char* kQuestion =
        "Убрать из таблицы все точки и фотографии? Файлы на диске не изменятся.";

    ClearCommand(Dialogs& dialogs, DataTable& table, ProgramState& state)
        : dialogs_(dialogs), table_(table), state_(state) {}

    // True when the table was emptied.
    bool run();

private:
    Dialogs& dialogs_;
    DataTable& table_;
    ProgramState& state_;
};

}  // namespace geovanta
