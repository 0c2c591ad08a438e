#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "platform/UpdateDialogHost.h"
#include "platform/UrlOpener.h"

class QDialog;
class QProgressBar;

namespace pellucine {

class Appearance;
class PaneLink;
class YardButton;
class YardText;

// The updater's one window, drawn with the design system: each step replaces what it shows.
// Closing it answers no, or cancels what runs. The window and its fonts are made at the first
// step shown, so a program that never updates pays nothing for them. Main thread.
class UpdateDialogs final : public QObject, public UpdateDialogHost {
    Q_OBJECT

  public:
    static constexpr int width = 420;

    // The window follows `appearance` when one is given.
    explicit UpdateDialogs(UrlOpener& urlOpener, const Appearance* appearance = nullptr,
                           QObject* parent = nullptr);
    ~UpdateDialogs() override;

    void showChecking(std::function<void()> cancel) override;
    void showUpdateFound(const UpdateOffer& offer,
                         std::function<void(bool install)> answer) override;
    void showDownloading(std::function<void()> cancel) override;
    void showDownloadProgress(qint64 received, std::optional<qint64> total) override;
    void showReadyToInstall(const QString& updateVersion,
                            std::function<void(bool relaunch)> answer) override;
    void showUpToDate(const QString& currentVersion) override;
    void showError(const QString& message) override;
    void close() override;

    // Null until the first step is shown.
    QDialog* window() const { return window_.get(); }
    YardText* title() const { return title_; }
    YardText* body() const { return body_; }
    YardButton* primaryButton() const { return primary_; }
    YardButton* secondaryButton() const { return secondary_; }
    PaneLink* releaseNotesLink() const { return releaseNotes_; }
    QProgressBar* progress() const { return progress_; }

  private:
    struct Step {
        QString title;
        QString body;
        // None: the button is hidden.
        std::optional<QString> primary;
        std::optional<QString> secondary;
        bool progress = false;
        std::optional<QUrl> releaseNotes;
        // Called with true for the primary button, false for the secondary one and for closing.
        std::function<void(bool)> answer;
    };

    // Makes the window once.
    void build();
    void present(Step step);
    // Work under way with a progress bar; Cancel and closing call `cancel`.
    void presentWork(const QString& title, std::function<void()> cancel);
    void answer(bool yes);

    UrlOpener& urlOpener_;
    const Appearance* appearance_;
    std::unique_ptr<QDialog> window_;
    YardText* title_ = nullptr;
    YardText* body_ = nullptr;
    PaneLink* releaseNotes_ = nullptr;
    QProgressBar* progress_ = nullptr;
    YardButton* secondary_ = nullptr;
    YardButton* primary_ = nullptr;
    std::optional<QUrl> releaseNotesURL_;
    std::function<void(bool)> answer_;
};

}  // namespace pellucine
