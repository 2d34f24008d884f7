#pragma once
// A one-line label that, given less room than its text needs, ends the text
// with "…" instead of cutting it off wherever the edge falls, and then
// holds the whole text in its tooltip. It asks for its text's width but
// can be made as narrow as a few letters, so a long text never keeps the
// window from fitting its screen.

#include <QLabel>

namespace geovanta {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // Hides QLabel's: the tooltip follows the text.
    void setText(const QString& text);
    // Whether the text shown is cut short now.
    bool elided() const { return elided_; }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString shownText() const;
    void updateToolTip();

    bool elided_ = false;
};

}  // namespace geovanta
