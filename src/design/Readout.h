#pragma once

#include <QString>
#include <QWidget>

#include "design/TextBaseline.h"
#include "design/YardAccessible.h"

namespace pellucine {

// A value or a file path on one line in the muted monospaced face. When it does not fit, a path
// loses its middle and keeps both ends, as paths may (`Yard::allowsEliding`); other text loses
// its end, which a window laid out right never lets happen. Its tooltip is the whole text.
class Readout : public QWidget, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    explicit Readout(const QString& text, bool path = false, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    bool isPath() const { return path_; }
    void setPath(bool path);

    // The text as drawn within `width`.
    QString shownText(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    bool path_;
};

}  // namespace pellucine
