#include "settings/PellucinePageGuide.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "design/HazardStripe.h"
#include "design/KeyHint.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"

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
                QStringLiteral("Launch at login starts PELLUCINE quietly, so previews work from "
                               "your first switch of the day."),
                QStringLiteral("Turn off Show in the Dock and the app switcher and PELLUCINE "
                               "leaves both at once; macOS can't split them. The menu bar icon is "
                               "a separate switch. With both hidden, open PELLUCINE from "
                               "Applications or Spotlight to get back here."),
                facts.syncAvailable
                    ? QStringLiteral("Keep settings in sync copies preview size, Dock behavior, "
                                     "and the apps you left out to your other computers through "
                                     "a folder you keep in sync with Syncthing, Nextcloud or a "
                                     "network share. The search hotkey, menu bar icon, and "
                                     "update checks stay per computer.")
                    : QStringLiteral("Export Settings writes a file; Import Settings on another "
                                     "computer asks first and backs up what it replaces."),
                QStringLiteral("Reset All asks once, right there."),
                QStringLiteral(
                    "What Leaves This Computer lists every time PELLUCINE uses the network."),
            };
        case Bay::switcher:
            return {
                QStringLiteral("Hold {⌘} and press {⇥} as always. The highlighted app's windows "
                               "appear above Apple's strip; {⇥} and {⇧}{⇥} still move between "
                               "apps."),
                QStringLiteral("Keep holding {⌘} and click a window: that exact window comes "
                               "forward, even if it's minimized or on another Space. Let go "
                               "without clicking and the app switches as usual."),
                QStringLiteral("Rest the pointer on a preview for half a second for a full-size "
                               "peek. Right-click a preview to minimize it, close it, or move it "
                               "to half or a corner of the screen."),
                QStringLiteral("Press {F} while the strip is up, or ") + keyRun(facts.searchKeys) +
                    QStringLiteral(" from anywhere, to search every window. Type part of a title "
                                   "or app name, then {↩}."),
                QStringLiteral("Size, which windows show, and the apps you leave out apply to Dock "
                               "previews too. Password managers show a lock and Kept private."),
            };
        case Bay::dock:
            return {
                QStringLiteral("Point at Safari in the Dock and hold still for ") +
                    QString::number(facts.hoverDelay) +
                    QStringLiteral(" ms: its windows rise above the icon. Move to the next icon "
                                   "and they swap at once."),
                QStringLiteral("Click a preview to bring that window forward. Its buttons "
                               "minimize, go full screen, or close; the ⋯ menu handles every "
                               "window, or hides or quits the app."),
                QStringLiteral("Skip apps with only one window keeps those icons quiet. Automatic "
                               "layout switches to a compact list at eight windows."),
            };
        case Bay::about: {
            QStringList about;
            switch (facts.updates) {
                case UpdateSource::feed:
                    about << QStringLiteral("PELLUCINE checks ") + websiteHost +
                                 QStringLiteral(
                                     " once a day. When there's a new version, the menu bar menu "
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
            about << QStringLiteral(
                         "Report a Problem sends what you write and PELLUCINE's log, "
                         "never window pictures or titles.")
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
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(inset, inset, inset, inset);
    column->setSpacing(spacing);
    column->setSizeConstraint(QLayout::SetMinAndMaxSize);

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
    column->addWidget(
        new YardText(SettingsView::description(page), Yard::bodyFont(), &Yard::Palette::muted));

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

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    done_ = new YardButton(QStringLiteral("Done"), YardButton::Kind::primary);
    connect(done_, &QAbstractButton::clicked, this, &QDialog::reject);
    bottom->addWidget(done_);
    column->addLayout(bottom);
}

void PellucinePageGuide::navigate(Bay target) {
    if (onNavigate_) {
        onNavigate_(target);
    }
    reject();
}

}  // namespace pellucine
