#pragma once

#include "coordination/WindowSearchControlling.h"

namespace pellucine {

// A headless window search for tests: counts registrations and showings; each registration
// takes on the problem the test set and reports it when it changed.
class RecordingWindowSearch final : public WindowSearchControlling {
  public:
    explicit RecordingWindowSearch(Recency recency = {}) : recency_(std::move(recency)) {}

    void setOnHotkeyProblemChange(HotkeyProblemHandler handler) override {
        onProblemChange_ = std::move(handler);
    }
    void registerHotkey() override {
        ++registerCount_;
        if (nextProblem_ != problem_) {
            problem_ = nextProblem_;
            if (onProblemChange_) {
                onProblemChange_(problem_);
            }
        }
    }
    void setOnOpening(std::function<void()> handler) override { onOpening_ = std::move(handler); }
    void show() override {
        if (onOpening_) {
            onOpening_();
        }
        ++showCount_;
    }

    // What the next registration finds: a conflict's or failure's text, or none.
    void setNextRegistrationProblem(std::optional<QString> problem) {
        nextProblem_ = std::move(problem);
    }
    const std::optional<QString>& hotkeyProblem() const { return problem_; }
    int registerCount() const { return registerCount_; }
    int showCount() const { return showCount_; }
    QList<qint32> recency() const { return recency_ ? recency_() : QList<qint32>{}; }

  private:
    Recency recency_;
    HotkeyProblemHandler onProblemChange_;
    std::function<void()> onOpening_;
    std::optional<QString> problem_;
    std::optional<QString> nextProblem_;
    int registerCount_ = 0;
    int showCount_ = 0;
};

}  // namespace pellucine
