#include <QPointer>

#include "base/Sleep.h"
#include "base/Spawn.h"
#include "coordination/AppCoordinator.h"

namespace pellucine {

QSet<quint32> AppCoordinator::shownWindowsOf(qint32 processIdentifier) const {
    return CloseAnswer::shownWindows(processIdentifier, desktop_.windowList().windows({}));
}

void AppCoordinator::awaitCloseAnswer(CloseAnswer::Request request) {
    if (!switcherPanel_ || !switcherPanel_->isPanelVisible()) {
        return;
    }
    if (model_.unansweredWindows().value().intersects(request.closing)) {
        model_.unansweredWindows().modify(
            [&](QSet<quint32>& windows) { windows -= request.closing; });
    }
    // Closes sent one after another to one application are awaited together.
    if (closeRequest_ && closeRequest_->processIdentifier == request.processIdentifier) {
        request.closing += closeRequest_->closing;
        request.shownBefore += closeRequest_->shownBefore;
    }
    closeRequest_ = std::move(request);
    closeAnswerTask_.cancel();
    closeAnswerTask_ = spawn(scheduler_, guarded(this, &AppCoordinator::watchCloseAnswer));
}

QCoro::Task<void> AppCoordinator::watchCloseAnswer(CancellationToken token) {
    const QPointer<AppCoordinator> self(this);
    const auto passes = static_cast<int>(closeAnswerWait / closeAnswerInterval);
    for (int pass = 0; pass < passes; ++pass) {
        const bool slept = co_await Sleep(scheduler_, seconds(closeAnswerInterval), token);
        if (!self || !slept || followCloseAnswer() != CloseAnswer::Outcome::waiting) {
            co_return;
        }
    }
    closeWentUnanswered();
}

CloseAnswer::Outcome AppCoordinator::followCloseAnswer() {
    if (!closeRequest_) {
        return CloseAnswer::Outcome::closed;
    }
    const CloseAnswer::Outcome outcome =
        CloseAnswer::judge(*closeRequest_, desktop_.windowList().windows({}));
    switch (outcome) {
        case CloseAnswer::Outcome::prompted:
            hideGlance();
            break;
        case CloseAnswer::Outcome::closed:
            closeRequest_.reset();
            break;
        case CloseAnswer::Outcome::waiting:
            break;
    }
    return outcome;
}

void AppCoordinator::closeWentUnanswered() {
    // Still awaited afterwards: a prompt that comes late ends the glance all the same.
    const qint32 pid = closeRequest_->processIdentifier;
    const QSet<quint32> open = closeRequest_->closing & desktop_.windowList().liveWindowNumbers();
    if (open.isEmpty()) {
        closeRequest_.reset();
        return;
    }
    model_.unansweredWindows().modify([&](QSet<quint32>& windows) { windows += open; });
    QString name = QStringLiteral("The application");
    if (const auto application = desktop_.workspace().runningApplication(pid);
        application && application->localizedName && !application->localizedName->isEmpty()) {
        name = *application->localizedName;
    }
    model_.errorMessage().set(
        open.size() == 1
            ? QStringLiteral("%1 did not answer. Its window is still open.").arg(name)
            : QStringLiteral("%1 did not answer. Its windows are still open.").arg(name));
    events_.record(QStringLiteral("window-action-unanswered"),
                   {{QStringLiteral("reason"), WindowAction::close().textForm()},
                    {QStringLiteral("windowCount"), QString::number(open.size())}});
}

}  // namespace pellucine
