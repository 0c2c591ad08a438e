#include "diagnostics/ReportEditor.h"

#include <QPalette>
#include <QPlainTextEdit>

#include "design/Yard.h"
#include "design/YardText.h"
#include "diagnostics/ReportModel.h"

namespace pellucine::ReportProblem {

ReportEditor::ReportEditor(Model& model, QWidget* box)
    : model_(model),
      editor_(new QPlainTextEdit(box)),
      placeholder_(new YardText(model.config().example, Yard::bodyFont(), &Yard::Palette::muted,
                                true, box)) {
    editor_->setFont(Yard::bodyFont());
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->viewport()->setAutoFillBackground(false);
    // Only the ground is its own; the text takes the window's scheme.
    QPalette ground;
    ground.setColor(QPalette::Base, Qt::transparent);
    editor_->setPalette(ground);
    editor_->document()->setDocumentMargin(placeholderInset - editorInset);
    editor_->setTabChangesFocus(true);
    editor_->setPlainText(model.text());
    placeholder_->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeholder_->raise();
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // Only the user's edits reach the model, never the echo of the model's own text.
    QPlainTextEdit* editor = editor_;
    QObject::connect(editor, &QPlainTextEdit::textChanged, editor, [editor, &model] {
        const QString typed = editor->toPlainText();
        if (typed != model.text()) {
            model.setText(typed);
        }
    });
    QObject::connect(&model, &Model::textChanged, editor, [editor, &model] {
        if (editor->toPlainText() != model.text()) {
            const QSignalBlocker quiet(editor);
            editor->setPlainText(model.text());
        }
    });
}

void ReportEditor::place(QSize size) const {
    editor_->setGeometry(
        QRect(QPoint(), size).adjusted(editorInset, editorInset, -editorInset, -editorInset));
    const int width = std::max(0, size.width() - 2 * placeholderInset);
    placeholder_->setGeometry(placeholderInset, editorInset, width,
                              placeholder_->heightForWidth(width));
}

void ReportEditor::refresh() const {
    placeholder_->setVisible(model_.text().isEmpty());
    editor_->setEnabled(!model_.phase().is(Phase::Kind::sending));
}

}  // namespace pellucine::ReportProblem
