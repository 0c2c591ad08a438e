#pragma once

#include <QWidget>

namespace pellucine {

// The line under a Command-Tab glance: an "F" key cap and "Search every window", centred. One
// accessible text, "Press F to search every window".
class SearchHint : public QWidget {
    Q_OBJECT

  public:
    static constexpr int spacing = 6;
    static constexpr int bottomPadding = 9;

    explicit SearchHint(QWidget* parent = nullptr);

    static QString key() { return QStringLiteral("F"); }
    static QString text() { return QStringLiteral("Search every window"); }
    static QString spokenText() { return QStringLiteral("Press F to search every window"); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pellucine
