#pragma once

#include <QAbstractButton>
#include <QFont>

namespace pellucine {

// The push button of the program's windows: an upper-case monospaced label on a square
// plate with a border drawn inside its edge, in three kinds. The whole rectangle is the hit area.
class YardButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum class Kind { primary, secondary, danger };

    static constexpr qreal tracking = 1.2;
    static constexpr int horizontalPadding = 13;
    static constexpr int verticalPadding = 7;
    static constexpr qreal borderWidth = 1.5;
    static constexpr qreal disabledOpacity = 0.38;
    static constexpr qreal pressedOpacity = 0.7;

    explicit YardButton(const QString& text, Kind kind = Kind::primary, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    void setKind(Kind kind);

    // The text as drawn: upper case, on one line.
    QString displayText() const;
    static QFont labelFont();
    // Opacity of the whole button: disabled wins over pressed.
    static qreal opacity(bool enabled, bool pressed);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintPlate(QPainter& painter) const;

    Kind kind_;
};

}  // namespace pellucine
