#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include "design/ColorScheme.h"

class QPainter;

namespace pellucine {

// The recessed-well look of input-like controls: the scheme's ground behind the content and a
// border drawn inside the edge, 2 in `accentType` while focused, else 1.5 in `fore` at 0.75.
// The well adds no padding: hosts pad their content themselves.
namespace Yard {

inline constexpr qreal focusedWellBorder = 2.0;
inline constexpr qreal idleWellBorder = 1.5;
inline constexpr qreal idleWellBorderOpacity = 0.75;

void paintWellGround(QPainter& painter, const QRectF& rect, ColorScheme scheme);
void paintWellBorder(QPainter& painter, const QRectF& rect, ColorScheme scheme, bool focused);
// Ground then border, for hosts that paint their content inside the border afterwards.
void wellFrame(QPainter& painter, const QRectF& rect, ColorScheme scheme, bool focused);

}  // namespace Yard

// A container that frames one content widget as a well. By default it is focused while the
// keyboard focus is inside it; hosts that decide otherwise turn tracking off and set it.
class WellFrame : public QWidget {
    Q_OBJECT

  public:
    explicit WellFrame(QWidget* content = nullptr, QWidget* parent = nullptr);

    QWidget* content() const { return content_; }
    // Replaces (and deletes) the previous content.
    void setContent(QWidget* content);

    bool isFocused() const { return focused_; }
    void setFocused(bool focused);
    bool tracksFocus() const { return tracksFocus_; }
    void setTracksFocus(bool tracks);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

  private:
    class Border;

    void focusMoved(QWidget* now);

    QPointer<QWidget> content_;
    Border* border_ = nullptr;
    bool focused_ = false;
    bool tracksFocus_ = true;
};

}  // namespace pellucine
