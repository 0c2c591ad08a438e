#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QWidget>

#include "design/FlowLayout.h"
#include "design/TextBaseline.h"
#include "design/YardAccessible.h"

namespace pellucine {

// A sentence that names keys, written as a template with each key in braces ("Press {Esc} to
// close"): words are drawn as text, keys as inline key caps, and the line wraps like text. A key
// written against a word sits flush with it; a space puts a small gap between them. Assistive
// technologies read the template once, without its braces.
class KeyHint : public QWidget, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr qreal space = 3.6;
    static constexpr qreal lineSpacing = 3.0;

    struct Token {
        enum class Kind { word, key };
        Kind kind = Kind::word;
        QString text;
        bool gap = false;  // at least one space stood before it

        friend bool operator==(const Token&, const Token&) = default;
    };

    KeyHint(const QString& templateText, const QFont& font, bool muted = false,
            QWidget* parent = nullptr);

    QString templateText() const { return template_; }
    void setTemplateText(const QString& templateText);
    bool isMuted() const { return muted_; }
    void setMuted(bool muted);
    void setFont(const QFont& font);

    // The template split into words and keys. A "{" with no "}" after it is text; only the
    // space character separates words.
    static QList<Token> tokens(QStringView templateText);
    // The template with every brace removed, as it is read aloud.
    static QString spokenText(QStringView templateText);

    static FlowLayout flow() { return {space, lineSpacing}; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<FlowLayout::Child> children() const;
    void changed();

    QString template_;
    QList<Token> tokens_;
    bool muted_;
};

}  // namespace pellucine
