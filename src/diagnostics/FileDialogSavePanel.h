#pragma once

#include <QString>

#include "diagnostics/SavePanel.h"

namespace pellucine {

// The save panel as a file dialog: modal to its window when it has one, otherwise to the whole
// program. It opens in `folder`.
class FileDialogSavePanel final : public SavePanel {
  public:
    explicit FileDialogSavePanel(QString folder) : folder_(std::move(folder)) {}
    void choose(const Request& request, Completion done) override;

  private:
    QString folder_;
};

}  // namespace pellucine
