#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "diagnostics/ReportConfig.h"
#include "diagnostics/ReportEnvironment.h"
#include "diagnostics/ReportPhase.h"

namespace pellucine::ReportProblem {

class Model;

// The problem-report window: a fixed-size top-level window around the host's content or the
// module's own pages for one model. Closing it only hides it.
class ReportWindow final : public QWidget {
    Q_OBJECT

  public:
    static constexpr QLatin1String title{"Report a Problem"};

    // Builds the content for `model`: the config's, or the default pages.
    explicit ReportWindow(std::shared_ptr<Model> model, QWidget* parent = nullptr);
    ~ReportWindow() override;

    const std::shared_ptr<Model>& model() const { return model_; }
    QWidget* content() const { return content_; }

    // Puts the window in the middle of its screen's available area.
    void centre();

  private:
    std::shared_ptr<Model> model_;
    QWidget* content_;
};

// The one report window of the process, or none; kept after closing until it is replaced.
ReportWindow* currentWindow();

// Shows the report window. Without a phase, a window already on screen is brought forward as
// it is; otherwise any earlier window is replaced by a new one for a new model that starts from
// the draft. With a phase, the new window shows that phase over empty words.
void openWindow(const Config& config, std::optional<Phase> phase, const Environment& environment);

}  // namespace pellucine::ReportProblem
