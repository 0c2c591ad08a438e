#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <deque>

#include "settings/DialogHost.h"

namespace pellucine::testing {

// Dialogs that wait for the test: each request is kept until the test answers the oldest one of
// its kind.
class RecordingDialogHost final : public DialogHost {
  public:
    void chooseFileToOpen(const FileChoice& choice, PathAnswer answer) override {
        choices.push_back(choice);
        opens.push_back(std::move(answer));
    }
    void chooseFileToSave(const FileChoice& choice, PathAnswer answer) override {
        choices.push_back(choice);
        saves.push_back(std::move(answer));
    }
    void chooseFolder(const QString&, PathAnswer answer) override {
        folders.push_back(std::move(answer));
    }
    void confirm(const Confirmation& confirmation, std::function<void(bool)> answer) override {
        confirmations.push_back(confirmation);
        confirms.push_back(std::move(answer));
    }
    void alert(const Alert& alert, std::function<void()> dismissed) override {
        alerts.push_back(alert);
        dismissals.push_back(std::move(dismissed));
    }

    void answerOpen(const std::optional<QString>& path) { take(opens)(path); }
    void answerSave(const std::optional<QString>& path) { take(saves)(path); }
    void answerFolder(const std::optional<QString>& path) { take(folders)(path); }
    void answerConfirm(bool confirmed) { take(confirms)(confirmed); }
    void dismissAlert() { take(dismissals)(); }

    std::deque<FileChoice> choices;
    std::deque<Confirmation> confirmations;
    std::deque<Alert> alerts;

  private:
    template <typename F>
    static F take(std::deque<F>& pending) {
        EXPECT_FALSE(pending.empty()) << "no such dialog is waiting";
        if (pending.empty()) {
            return F([](auto&&...) {});
        }
        F next = std::move(pending.front());
        pending.pop_front();
        return next;
    }

    std::deque<PathAnswer> opens;
    std::deque<PathAnswer> saves;
    std::deque<PathAnswer> folders;
    std::deque<std::function<void(bool)>> confirms;
    std::deque<std::function<void()>> dismissals;
};

}  // namespace pellucine::testing
