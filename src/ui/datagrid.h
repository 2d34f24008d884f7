#pragma once
// The record grid. Reports the keys that change rows (Insert, the down arrow
// on the last row, Ctrl+Delete, Escape outside an editor) so that the window
// can carry them out on the table; everything else is the table view's own.

#include <QTableView>

namespace geovanta {

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    // Sets each column's width: its set width (or the default), widened
    // where this font needs more room for the column's values or title.
    void fitColumns();

    // Shown in the empty grid: what to do first.
    void setEmptyHint(const QString& text);
    const QString& emptyHint() const { return emptyHint_; }

signals:
    void insertRequested();
    void appendRequested();
    void deleteRequested();
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Photo rows go to the map, named beside the mouse.
    void startDrag(Qt::DropActions supportedActions) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString emptyHint_;
};

}  // namespace geovanta
