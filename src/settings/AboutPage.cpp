#include "settings/AboutPage.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

#include "base/EventRecording.h"
#include "coordination/AppModel.h"
#include "core/Bundle.h"
#include "design/OpenFailureNotice.h"
#include "design/PaneLink.h"
#include "design/WellFrame.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardText.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/FileRevealing.h"
#include "diagnostics/Maker.h"
#include "diagnostics/SupportFile.h"
#include "platform/UrlOpener.h"
#include "settings/DockWording.h"
#include "settings/ReportTexts.h"
#include "updates/UpdatesCard.h"

namespace pellucine {

namespace {

constexpr int productSpacing = 16;
constexpr int supportSpacing = 18;
constexpr int buttonSpacing = 8;
constexpr int dataSpacing = 12;
const QMargins locationPadding{10, 6, 10, 6};

QHBoxLayout* row(QWidget* owner, int spacing) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

YardButton* secondaryButton(const QString& title) {
    return new YardButton(title, YardButton::Kind::secondary);
}

}  // namespace

AboutPage::AboutPage(Context context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(cardSpacing);
    column->addWidget(buildProductCard());
    updates_ =
        new UpdatesCard({context_.model.updates(), context_.model.machinePreferences(),
                         context_.markSaved, context_.urls, context_.website, context_.clock});
    column->addWidget(updates_);
    column->addWidget(buildSupportCard());
    column->addWidget(buildDataCard());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

AboutPage::~AboutPage() = default;

QString AboutPage::productNote(const std::optional<SwitcherBinding>& switcherKeys,
                               const QString& dockPlace) {
    if (!switcherKeys) {
        return QStringLiteral("Window previews above %1; the switcher strip is off.")
            .arg(dockPlace);
    }
    return QStringLiteral("Window previews above the switcher strip (%1) and %2.")
        .arg(switcherKeys->name(), dockPlace);
}

QWidget* AboutPage::buildProductCard() {
    auto* card =
        new YardCard(QStringLiteral("PELLUCINE"),
                     productNote(context_.switcherKeys, DockWording::of(context_.dock).place));
    auto* content = new QWidget;
    QHBoxLayout* layout = row(content, productSpacing);
    version_ = new YardText(versionLine(context_.model.updates().currentVersion(), context_.bundle),
                            Yard::readoutFont(), &Yard::Palette::fore, false);
    layout->addWidget(version_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    const QUrl website = context_.website.value_or(Maker::productWebsite);
    for (auto* link :
         {new WebLink(website.host(), website), new WebLink(Maker::name, Maker::website)}) {
        link->setOpener([&urls = context_.urls](const QUrl& url, std::function<void()> failed) {
            urls.openOrReport(url, std::move(failed));
        });
        layout->addWidget(link, 0, Qt::AlignVCenter);
    }
    content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    card->addWidget(content);
    return card;
}

QWidget* AboutPage::buildSupportCard() {
    auto* card =
        new YardCard(QStringLiteral("Support"), ReportTexts::supportCard(context_.reports));
    auto* content = new QWidget;
    QHBoxLayout* layout = row(content, supportSpacing);
    report_ = new PaneLink(QStringLiteral("Report a Problem"), Yard::bodyFont(),
                           [this] { reportProblem(); });
    diagnostics_ = new PaneLink(QStringLiteral("Diagnostics"), Yard::bodyFont(),
                                [this] { showDiagnostics(); });
    layout->addWidget(report_, 0, Qt::AlignVCenter);
    layout->addWidget(diagnostics_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    auto* buttons = new QWidget;
    QHBoxLayout* buttonRow = row(buttons, buttonSpacing);
    saveSupportFile_ = secondaryButton(QStringLiteral("Save Support File…"));
    emailSupport_ = secondaryButton(QStringLiteral("Email Support…"));
    connect(saveSupportFile_, &QAbstractButton::clicked, this, &AboutPage::saveSupportFile);
    connect(emailSupport_, &QAbstractButton::clicked, this, &AboutPage::emailSupport);
    buttonRow->addWidget(saveSupportFile_);
    buttonRow->addWidget(emailSupport_);
    layout->addWidget(buttons, 0, Qt::AlignVCenter);
    content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    card->addWidget(content);
    return card;
}

QWidget* AboutPage::buildDataCard() {
    auto* card = new YardCard(QStringLiteral("Your Data"),
                              QStringLiteral("PELLUCINE's log and your settings backups."));
    auto* content = new QWidget;
    QHBoxLayout* layout = row(content, dataSpacing);

    auto* box = new QWidget;
    auto* boxLayout = row(box, 0);
    boxLayout->setContentsMargins(locationPadding);
    location_ =
        new YardText(shownLocation(context_.dataFolder, context_.homeFolder), Yard::keyFont());
    location_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    boxLayout->addWidget(location_, 1);
    auto* well = new WellFrame(box);
    well->setTracksFocus(false);
    well->setFocused(false);
    well->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout->addWidget(well, 1, Qt::AlignVCenter);

    showFolder_ = secondaryButton(QStringLiteral("Show in File Manager"));
    connect(showFolder_, &QAbstractButton::clicked, this, &AboutPage::showDataFolder);
    layout->addWidget(showFolder_, 0, Qt::AlignVCenter);
    content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    card->addWidget(content);
    return card;
}

void AboutPage::reportProblem() {
    if (!context_.openReport) {
        return;
    }
    context_.events.record(QStringLiteral("report-opened"));
    context_.openReport();
}

void AboutPage::showDiagnostics() {
    if (context_.showDiagnostics) {
        context_.showDiagnostics();
    }
}

void AboutPage::saveSupportFile() {
    SupportFile::save(context_.diagnostics, context_.savePanel,
                      sheetWindow(QApplication::activeWindow()),
                      [page = QPointer(this)](const std::optional<QString>& failure) {
                          if (page && failure && page->context_.showTransferFailure) {
                              page->context_.showTransferFailure(*failure);
                          }
                      });
}

void AboutPage::emailSupport() {
    const QUrl url = supportMailUrl(Maker::supportEmail);
    const auto failed = OpenFailureNotice::whenNothingOpened(
        this, QStringLiteral("No mail program opened a new mail."), Maker::supportEmail);
    if (!url.isValid()) {
        failed();
        return;
    }
    context_.urls.openOrReport(url, failed);
}

void AboutPage::showDataFolder() {
    // A folder that cannot be made is still asked for.
    QDir().mkpath(context_.dataFolder);
    context_.files.reveal(context_.dataFolder, OpenFailureNotice::whenNothingOpened(
                                                   this, OpenFailureNotice::noFileManager,
                                                   QDir::toNativeSeparators(context_.dataFolder)));
}

QString AboutPage::versionLine(const QString& version, const Bundle& bundle) {
    const QVariant build = bundle.infoDictionary().value(QStringLiteral("CFBundleVersion"));
    return QStringLiteral("v%1 · build %2")
        .arg(version,
             build.typeId() == QMetaType::QString ? build.toString() : QStringLiteral("dev"));
}

QString AboutPage::shownLocation(const QString& folder, const QString& home) {
    const QString cleanHome = QDir::cleanPath(home);
    const QString cleanFolder = QDir::cleanPath(folder);
    if (cleanHome.isEmpty() || cleanHome == QStringLiteral("/")) {
        return cleanFolder;
    }
    if (cleanFolder == cleanHome) {
        return QStringLiteral("~");
    }
    if (cleanFolder.startsWith(cleanHome + QLatin1Char('/'))) {
        return QLatin1Char('~') + cleanFolder.sliced(cleanHome.size());
    }
    return cleanFolder;
}

QWidget* AboutPage::sheetWindow(QWidget* active) {
    return active != nullptr && active->windowTitle() == settingsWindowTitle ? active : nullptr;
}

QUrl AboutPage::supportMailUrl(const QString& address) {
    return QUrl(QStringLiteral("mailto:%1?subject=PELLUCINE").arg(address), QUrl::StrictMode);
}

}  // namespace pellucine
