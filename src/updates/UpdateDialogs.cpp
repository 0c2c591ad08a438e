#include "updates/UpdateDialogs.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLocale>
#include <QProgressBar>
#include <QVBoxLayout>

#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"

namespace pellucine {

UpdateDialogs::UpdateDialogs(UrlOpener& urlOpener, const Appearance* appearance, QObject* parent)
    : QObject(parent), urlOpener_(urlOpener), appearance_(appearance) {}

void UpdateDialogs::build() {
    if (window_) {
        return;
    }
    window_ = std::make_unique<QDialog>();
    title_ = new YardText({}, Yard::labelFont());
    body_ = new YardText({}, Yard::bodyFont(), &Yard::Palette::muted);
    releaseNotes_ = new PaneLink(WebLink::label(QStringLiteral("Release Notes")), Yard::bodyFont());
    progress_ = new QProgressBar;
    secondary_ = new YardButton({}, YardButton::Kind::secondary);
    primary_ = new YardButton({}, YardButton::Kind::primary);
    window_->setWindowTitle(QStringLiteral("Software Update"));
    window_->setFixedWidth(width);
    Yard::setWindowGround(window_.get());
    if (appearance_ != nullptr) {
        Yard::follow(window_.get(), *appearance_);
    }
    progress_->setTextVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(secondary_);
    buttons->addWidget(primary_);
    auto* column = new QVBoxLayout(window_.get());
    column->setContentsMargins(20, 18, 20, 16);
    column->setSpacing(10);
    column->addWidget(title_);
    column->addWidget(body_);
    Yard::addLeading(column, releaseNotes_);
    column->addWidget(progress_);
    column->addLayout(buttons);

    connect(primary_, &QAbstractButton::clicked, this, [this] { answer(true); });
    connect(secondary_, &QAbstractButton::clicked, this, [this] { answer(false); });
    connect(window_.get(), &QDialog::rejected, this, [this] { answer(false); });
    connect(releaseNotes_, &QAbstractButton::clicked, this, [this] {
        if (releaseNotesURL_) {
            urlOpener_.open(*releaseNotesURL_);
        }
    });
}

UpdateDialogs::~UpdateDialogs() {
    // The window goes without answering anyone.
    answer_ = nullptr;
    if (window_) {
        window_->disconnect(this);
    }
}

void UpdateDialogs::present(Step step) {
    build();
    answer_ = std::move(step.answer);
    title_->setText(step.title);
    body_->setText(step.body);
    body_->setVisible(!step.body.isEmpty());
    releaseNotesURL_ = step.releaseNotes;
    releaseNotes_->setVisible(step.releaseNotes.has_value());
    progress_->setVisible(step.progress);
    progress_->setRange(0, 0);
    primary_->setVisible(step.primary.has_value());
    primary_->setText(step.primary.value_or(QString()));
    secondary_->setVisible(step.secondary.has_value());
    secondary_->setText(step.secondary.value_or(QString()));
    window_->adjustSize();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void UpdateDialogs::presentWork(const QString& title, std::function<void()> cancel) {
    present({title,
             {},
             std::nullopt,
             QStringLiteral("Cancel"),
             true,
             std::nullopt,
             [cancel = std::move(cancel)](bool) {
                 if (cancel) {
                     cancel();
                 }
             }});
}

void UpdateDialogs::answer(bool yes) {
    std::function<void(bool)> answer = std::move(answer_);
    answer_ = nullptr;
    if (window_) {
        window_->hide();
    }
    if (answer) {
        answer(yes);
    }
}

void UpdateDialogs::showChecking(std::function<void()> cancel) {
    presentWork(QStringLiteral("Checking for updates…"), std::move(cancel));
}

void UpdateDialogs::showUpdateFound(const UpdateOffer& offer,
                                    std::function<void(bool install)> answer) {
    present({QStringLiteral("PELLUCINE %1 is available.").arg(offer.updateVersion),
             QStringLiteral("You have %1. Would you like to install the new version now?")
                 .arg(offer.currentVersion),
             QStringLiteral("Install Update"), QStringLiteral("Later"), false, offer.releaseNotes,
             std::move(answer)});
}

void UpdateDialogs::showDownloading(std::function<void()> cancel) {
    presentWork(QStringLiteral("Downloading the update…"), std::move(cancel));
}

void UpdateDialogs::showDownloadProgress(qint64 received, std::optional<qint64> total) {
    build();
    const QLocale locale;
    if (total && *total > 0) {
        // Whole kibibytes keep large files within the bar's int range.
        progress_->setRange(0, static_cast<int>(*total / 1024 + 1));
        progress_->setValue(static_cast<int>(received / 1024));
        body_->setText(
            QStringLiteral("%1 of %2")
                .arg(locale.formattedDataSize(received), locale.formattedDataSize(*total)));
    } else {
        body_->setText(locale.formattedDataSize(received));
    }
    body_->setVisible(true);
}

void UpdateDialogs::showReadyToInstall(const QString& updateVersion,
                                       std::function<void(bool relaunch)> answer) {
    present({QStringLiteral("PELLUCINE %1 is ready to install.").arg(updateVersion),
             QStringLiteral("PELLUCINE will quit and open again."),
             QStringLiteral("Install and Relaunch"), QStringLiteral("Later"), false, std::nullopt,
             std::move(answer)});
}

void UpdateDialogs::showUpToDate(const QString& currentVersion) {
    present({QStringLiteral("You’re up to date."),
             QStringLiteral("PELLUCINE %1 is the newest version available.").arg(currentVersion),
             QStringLiteral("OK"),
             std::nullopt,
             false,
             std::nullopt,
             {}});
}

void UpdateDialogs::showError(const QString& message) {
    present({QStringLiteral("Update failed"),
             message,
             QStringLiteral("OK"),
             std::nullopt,
             false,
             std::nullopt,
             {}});
}

void UpdateDialogs::close() {
    answer_ = nullptr;
    if (window_) {
        window_->hide();
    }
}

}  // namespace pellucine
