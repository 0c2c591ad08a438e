#pragma once

#include <QString>
#include <QWidget>
#include <optional>

class QVBoxLayout;

namespace pellucine {

class YardText;

// A card of a settings page: an upper-case kicker and an optional note over a column of rows,
// on the sheet colour inside a square border. It takes all the width it is offered.
class YardCard : public QWidget {
    Q_OBJECT

  public:
    static constexpr int sidePadding = 16;
    static constexpr int headerTop = 13;
    static constexpr int headerBottom = 11;
    static constexpr int headerSpacing = 3;
    static constexpr int bodyBottom = 14;
    static constexpr int bodySpacing = 11;
    static constexpr qreal kickerTracking = 1.5;
    static constexpr qreal borderWidth = 1.5;

    explicit YardCard(const QString& kicker, const std::optional<QString>& note = std::nullopt,
                      QWidget* parent = nullptr);

    void setKicker(const QString& kicker);
    void setNote(const std::optional<QString>& note);
    YardText* kicker() const { return kicker_; }
    YardText* note() const { return note_; }

    // Adds `widget` to the card's body at the leading edge; a widget that can grow horizontally
    // takes the body's width. The card takes ownership.
    void addWidget(QWidget* widget);
    QVBoxLayout* body() const { return body_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    YardText* kicker_;
    YardText* note_;
    QVBoxLayout* body_;
};

}  // namespace pellucine
