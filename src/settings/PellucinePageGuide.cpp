#include "settings/PellucinePageGuide.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "design/FadingScrollView.h"
#include "design/HazardStripe.h"
#include "design/KeyHint.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "settings/DockWording.h"
#include "settings/PageGuideGeometry.h"
#include "settings/ReportTexts.h"

namespace pellucine {

namespace {

using Bay = SettingsView::Bay;

// The square before each paragraph, pushed down to sit by the first line.
class Bullet final : public QWidget {
  public:
    Bullet() {
        setFixedSize(PellucinePageGuide::bulletSize,
                     PellucinePageGuide::bulletDrop + PellucinePageGuide::bulletSize);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(
            QRect(0, PellucinePageGuide::bulletDrop, PellucinePageGuide::bulletSize,
                  PellucinePageGuide::bulletSize),
            Yard::palette(this).accentType);
    }
};

}  // namespace

QString PellucinePageGuide::keyRun(const QStringList& keys) {
    QString run;
    for (const QString& key : keys) {
        run += u'{' + key + u'}';
    }
    return run;
}

QStringList PellucinePageGuide::paragraphs(const GuideFacts& facts, Bay page,
                                           const QString& websiteHost) {
    switch (page) {
        case Bay::general:
            return {
                QStringLiteral("Launch at login adds PELLUCINE to your desktop's autostart and "
                               "starts it quietly, so previews work from "
                               "your first switch of the day."),
                QStringLiteral("Turn off Show in the Dock and the app switcher and PELLUCINE "
                               "leaves both at once. The tray icon is a separate switch. With "
                               "both hidden, open PELLUCINE from your applications menu to get "
                               "back here."),
                facts.syncAvailable
                    ? QStringLiteral("Keep settings in sync copies preview size, Dock behavior, "
                                     "and the apps you left out to your other computers through "
                                     "a folder you keep in sync with Syncthing, Nextcloud or a "
                                     "network share. The search hotkey, tray icon, and "
                                     "update checks stay per computer.")
                    : QStringLiteral("Export Settings writes a file; Import Settings on another "
                                     "computer asks first and backs up what it replaces."),
                QStringLiteral("Reset All asks once, right there."),
                QStringLiteral(
                    "What Leaves This Computer lists every time PELLUCINE uses the network."),
            };
        case Bay::switcher: {
            const QString search = QStringLiteral(
                " to search every window. Type part of a title or app name, "
                "then {↩}.");
            const QString peek = QStringLiteral(
                "Rest the pointer on a preview for half a second for a full-size "
                "peek. Right-click a preview to minimize it, close it, or move it "
                "to half or a corner of the screen.");
            const QString shared = QStringLiteral(
                "Size, which windows show, and the apps you leave out apply to Dock "
                "previews too. Password managers show a lock and Kept private.");
            if (!facts.switcherKeys) {
                return {SwitcherBinding::notice(facts.switcherKeys),
                        QStringLiteral("Press ") + keyRun(facts.searchKeys) +
                            QStringLiteral(" from anywhere") + search,
                        peek, shared};
            }
            return {
                QStringLiteral("Hold ") + facts.switcherKeys->heldCaps() +
                    QStringLiteral(" and press {Tab}. The highlighted app's windows appear above "
                                   "the switcher strip; {Tab} and {Shift}{Tab} still move between "
                                   "apps."),
                QStringLiteral("Keep holding {Super} and click a window: that exact window comes "
                               "forward, even if it's minimized or on another desktop. Let go "
                               "without clicking and the app switches as usual."),
                peek,
                QStringLiteral("Press {F} while the strip is up, or ") + keyRun(facts.searchKeys) +
                    QStringLiteral(" from anywhere,") + search,
                shared,
            };
        }
        case Bay::dock: {
            const DockWording dock = DockWording::of(facts.dock);
            return {
                dock.invitingOr(QStringLiteral("Point at Mousepad in ") + dock.place +
                                QStringLiteral(" and hold still for ") +
                                QString::number(facts.hoverDelay) +
                                QStringLiteral(" ms: its windows rise above the icon. Move to "
                                               "the next icon and they swap at once.")),
                QStringLiteral("Click a preview to bring that window forward. Its buttons "
                               "minimize, go full screen, or close; the ⋯ menu handles every "
                               "window, or hides or quits the app."),
                QStringLiteral("Skip apps with only one window keeps those icons quiet. Automatic "
                               "layout switches to a compact list at eight windows."),
            };
        }
        case Bay::about: {
            QStringList about;
            switch (facts.updates) {
                case UpdateSource::feed:
                    about << QStringLiteral("PELLUCINE checks ") + websiteHost +
                                 QStringLiteral(
                                     " once a day. When there's a new version, the tray menu "
                                     "says so at the top, and this page offers Release Notes and "
                                     "Install. Nothing interrupts you.")
                          << QStringLiteral("Check Now asks ") + websiteHost +
                                 QStringLiteral(" right away and answers here.")
                          << QStringLiteral(
                                 "Install opens the updater's own window, which installs and "
                                 "relaunches; Settings reopens on this page.");
                    break;
                case UpdateSource::packageManager:
                    about << QStringLiteral(
                        "This copy was installed by a package or the install script, so it never "
                        "checks for updates: new versions come from your package manager or a "
                        "new install.");
                    break;
                case UpdateSource::none:
                    about << QStringLiteral(
                        "This build has no update feed, so it never checks for updates.");
                    break;
            }
            about << ReportTexts::guide(facts.reports)
                  << QStringLiteral("Your Data holds that log and your settings backups.");
            return about;
        }
    }
    return {};
}

QList<Bay> PellucinePageGuide::seeAlso(Bay page) {
    switch (page) {
        case Bay::general:
            return {Bay::switcher, Bay::about};
        case Bay::switcher:
            return {Bay::dock, Bay::general};
        case Bay::dock:
            return {Bay::switcher};
        case Bay::about:
            return {Bay::general};
    }
    return {};
}

PellucinePageGuide::PellucinePageGuide(Bay page, const GuideFacts& facts,
                                       const QString& websiteHost, Navigate onNavigate,
                                       QWidget* parent)
    : QDialog(parent), page_(page), onNavigate_(std::move(onNavigate)) {
    setWindowTitle(QStringLiteral("How this page works"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(width);
    Yard::setWindowGround(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Everything but Done scrolls when the screen is too short for it.
    auto* body = new QWidget;
    body->setAutoFillBackground(false);
    // The paragraphs wrap to the width: the scroll view takes the height they need at it, never
    // their one-word-a-line minimum.
    body->setMinimumHeight(1);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(inset, inset, inset, spacing);
    column->setSpacing(spacing);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    auto* icon = new QLabel;
    icon->setFixedSize(iconSize, iconSize);
    icon->setScaledContents(true);
    icon->setPixmap(QApplication::windowIcon().pixmap(iconSize * 2));
    header->addWidget(icon);
    QFont titleFont = Yard::displayFont();
    titleFont.setCapitalization(QFont::AllUppercase);
    header->addWidget(
        new YardText(SettingsView::title(page), titleFont, &Yard::Palette::fore, false), 0,
        Qt::AlignVCenter);
    header->addStretch(1);
    column->addLayout(header);

    column->addWidget(new HazardStripe(5));
    column->addWidget(new YardText(SettingsView::description(page, facts.dock), Yard::bodyFont(),
                                   &Yard::Palette::muted));

    auto* paragraphColumn = new QVBoxLayout;
    paragraphColumn->setSpacing(paragraphSpacing);
    for (const QString& paragraph : paragraphs(facts, page, websiteHost)) {
        auto* row = new QHBoxLayout;
        row->setSpacing(bulletGap);
        row->addWidget(new Bullet, 0, Qt::AlignTop);
        row->addWidget(new KeyHint(paragraph, Yard::bodyFont(), false), 1);
        paragraphColumn->addLayout(row);
    }
    column->addLayout(paragraphColumn);

    auto* links = new QHBoxLayout;
    links->setSpacing(seeAlsoSpacing);
    links->addWidget(
        new YardText(QStringLiteral("See also"), Yard::hintFont(), &Yard::Palette::muted, false));
    for (const Bay target : seeAlso(page)) {
        auto* link = new PaneLink(SettingsView::title(target), Yard::hintFont(),
                                  [this, target] { navigate(target); });
        links_.append(link);
        links->addWidget(link);
    }
    links->addStretch(1);
    column->addLayout(links);
    column->addStretch(1);

    scroll_ = new FadingScrollView;
    scroll_->setWidget(body);
    outer->addWidget(scroll_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(inset, 0, inset, inset);
    bottom->addStretch(1);
    done_ = new YardButton(QStringLiteral("Done"), YardButton::Kind::primary);
    connect(done_, &QAbstractButton::clicked, this, &QDialog::reject);
    bottom->addWidget(done_);
    outer->addLayout(bottom);
    fitToScreen();
}

void PellucinePageGuide::fitToScreen() {
    QWidget* over = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QScreen* shownOn = over != nullptr ? over->screen() : screen();
    const QRect available = shownOn != nullptr ? shownOn->availableGeometry() : QRect();
    QWidget* body = scroll_->widget();
    body->layout()->activate();
    const int content = body->heightForWidth(width);
    const int bar = layout()->itemAt(1)->sizeHint().height();
    const int needed = (content > 0 ? content : body->sizeHint().height()) + bar;
    setFixedHeight(available.isEmpty() ? needed
                                       : PageGuideGeometry::height(needed, available.height()));
    if (over != nullptr && !available.isEmpty()) {
        setGeometry(PageGuideGeometry::frame(over->geometry(), size(), available));
    }
}

void PellucinePageGuide::showEvent(QShowEvent* event) {
    fitToScreen();
    QDialog::showEvent(event);
}

void PellucinePageGuide::navigate(Bay target) {
    if (onNavigate_) {
        onNavigate_(target);
    }
    reject();
}

}  // namespace pellucine
