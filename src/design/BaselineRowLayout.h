#pragma once

#include <QLayout>
#include <QList>
#include <optional>
#include <utility>

namespace pellucine {

// A horizontal row whose items stand on a common first text baseline (see Yard::firstBaseline).
// Fixed items keep their ideal width; flexible ones share what is left, never below their
// minimum, and wrap to the height that width needs.
class BaselineRowLayout : public QLayout {
    Q_OBJECT

  public:
    struct Width {
        qreal ideal = 0;
        qreal minimum = 0;
        bool flexible = false;
    };
    struct Line {
        qreal height = 0;
        qreal baseline = 0;
    };
    struct Stack {
        QList<qreal> tops;
        qreal height = 0;
    };

    explicit BaselineRowLayout(QWidget* parent = nullptr);
    ~BaselineRowLayout() override;

    void addWidget(QWidget* widget, bool flexible);

    // Widths of the items within `available`, `spacing` apart.
    static QList<qreal> widths(const QList<Width>& items, qreal available, qreal spacing);
    // Tops that put every baseline on the lowest one, and the height of the row.
    static Stack stack(const QList<Line>& lines);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    // Kept for the last width asked until an item or the layout changes.
    int heightForWidth(int width) const override;
    void invalidate() override;
    void setGeometry(const QRect& rect) override;

  private:
    struct Item {
        QLayoutItem* item;
        bool flexible;
    };
    struct Arrangement {
        QList<QRect> frames;
        int height = 0;
    };

    Arrangement arrange(int width) const;
    int visibleCount() const;

    QList<Item> items_;
    mutable std::optional<std::pair<int, int>> heightCache_;
};

}  // namespace pellucine
