#pragma once

#include <QRegion>
#include <QWidget>

namespace pellucine {

// The one-pixel rim of a panel cut to a shape without a compositing manager: the pixels of the
// shape's region that touch its outside, drawn over the panel's content in the edge colour of
// its scheme. A shape cut to whole pixels cannot be smoothed; a crisp rim makes its steps read
// as the panel's outline.
class ShapedEdge final : public QWidget {
  public:
    explicit ShapedEdge(QWidget* parent);

    // The region the panel is cut to, in the panel's coordinates; empty draws nothing.
    void setShape(const QRegion& shape);
    const QRegion& rim() const { return rim_; }

    // The pixels of `shape` with a 4-neighbour outside it.
    static QRegion rimOf(const QRegion& shape);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRegion rim_;
};

}  // namespace pellucine
