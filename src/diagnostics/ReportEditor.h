#pragma once

#include <QSize>

class QPlainTextEdit;
class QWidget;

namespace pellucine {
class YardText;
}

namespace pellucine::ReportProblem {

class Model;

// The words of a report page: a frameless editor on a box that draws the frame, with the config's
// example over its top leading corner while the words are empty. The words follow the model both
// ways; the model must outlive the box.
class ReportEditor final {
  public:
    static constexpr int editorInset = 8;
    static constexpr int placeholderInset = 13;

    // Makes the editor and the example as children of `box`, which grows both ways.
    ReportEditor(Model& model, QWidget* box);

    QPlainTextEdit* editor() const { return editor_; }
    YardText* placeholder() const { return placeholder_; }

    // Fits the editor and the example to a box of `size`; for the box's resize event.
    void place(QSize size) const;
    // Shows the example only over empty words; no editing while sending.
    void refresh() const;

  private:
    Model& model_;
    QPlainTextEdit* editor_;
    YardText* placeholder_;
};

}  // namespace pellucine::ReportProblem
