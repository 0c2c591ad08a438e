#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QTimer>

namespace pellucine::ReportProblem {

// The prominent button of the report pages: a semibold label in `ink` on a rounded `fill`,
// dimmed as a whole while disabled. While busy, a spinner turns before the label.
class AccentButton final : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int horizontalInset = 14;
    static constexpr int verticalInset = 6;
    static constexpr qreal cornerRadius = 6;
    static constexpr qreal pressedFillOpacity = 0.8;
    static constexpr qreal disabledOpacity = 0.45;
    static constexpr int spinnerSide = 12;
    static constexpr int spinnerSpacing = 6;

    AccentButton(const QString& text, QColor fill, QColor ink, QWidget* parent = nullptr);

    QColor fill() const { return fill_; }
    QColor ink() const { return ink_; }
    bool isBusy() const { return busy_; }
    void setBusy(bool busy);
    // The label (with its spinner) is laid out at least this wide.
    void setMinimumLabelWidth(int width);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    QFont labelFont() const;
    int labelWidth() const;

    QColor fill_;
    QColor ink_;
    bool busy_ = false;
    int minimumLabelWidth_ = 0;
    int spinnerStep_ = 0;
    QTimer spinner_;
};

}  // namespace pellucine::ReportProblem
