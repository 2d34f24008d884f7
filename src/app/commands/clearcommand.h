#pragma once
// "Очистить таблицу": empties the table and starts the track numbers again,
// so that a second trip needs no restart. Asks first.

namespace geovanta {

class Dialogs;
class Document;

class ClearCommand {
public:
    ClearCommand(Dialogs& dialogs, Document& document) : dialogs_(dialogs), document_(document) {}

    // True when the table was emptied.
    bool run();

private:
    Dialogs& dialogs_;
    Document& document_;
};

}  // namespace geovanta
