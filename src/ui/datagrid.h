#pragma once
// The record grid. Reports the keys that change rows (Insert, the down arrow
// on the last row, Ctrl+Delete, Escape outside an editor) so that the window
// can carry them out on the table; everything else is the table view's own.
// Letters typed find a row by its name; F2 edits a cell. Tab leaves the grid
// for the next panel rather than walking its cells.

#include <QElapsedTimer>
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

    // Letters typed in quick succession make the start of a name, looked for
    // from the current row on, round the end; the column stays.
    void keyboardSearch(const QString& text) override;

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
    static int nameColumn();

    QString emptyHint_;
    QString typed_;
    QElapsedTimer typing_;
};

}  // namespace geovanta
