#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QUrl>
#include <functional>

#include "design/TextBaseline.h"
#include "design/YardAccessible.h"

namespace pellucine {

// An underlined text link in the accent colour that runs an action inside the program, such as
// opening another settings page. It stays on one line at its full width. Clicking emits
// `clicked`.
class PaneLink : public QAbstractButton, public HasTextBaseline, public AccessibleElement {
    Q_OBJECT

  public:
    PaneLink(const QString& title, const QFont& font, QWidget* parent = nullptr);
    // Runs `action` on every click.
    PaneLink(const QString& title, const QFont& font, std::function<void()> action,
             QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& title);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    int firstBaseline() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Link; }
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { click(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QString title_;
};

// One line of muted text that ends in `link`: `lead`, `spacing` points, the link, then `tail`
// flush against it ("… everything else is in Settings."), centred on one line at their full
// widths. Takes ownership of `link`.
QWidget* linkedSentence(const QString& lead, PaneLink* link, const QString& tail, const QFont& font,
                        int spacing);

// A link that opens a web address in the default browser, marked with a trailing "↗"; its
// tooltip is the address.
class WebLink : public PaneLink {
    Q_OBJECT

  public:
    WebLink(const QString& title, const QUrl& url, QWidget* parent = nullptr);

    QUrl url() const { return url_; }
    static QString label(const QString& title);
    // Opens the address through `opener` from now on instead of the desktop services, and
    // offers it for copying when nothing opened it.
    using Opener = std::function<void(const QUrl& url, std::function<void()> failed)>;
    void setOpener(Opener opener) { opener_ = std::move(opener); }

  private:
    void openUrl();

    QUrl url_;
    Opener opener_;
};

}  // namespace pellucine
