#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QStackedLayout;
class QVBoxLayout;

namespace pellucine {
class YardButton;
}

namespace pellucine::ReportProblem {

class Model;
struct Config;

// Pieces of the report pages that every look of them shares.
namespace ReportPages {

constexpr int spacing = 14;

// A page and its column, without margins.
QWidget* page(QVBoxLayout*& column, QWidget* parent = nullptr);

// The support address, or "support" without one.
QString supportOf(const Config& config);
// How the writing page introduces what goes with the words: "Sent with it" when the report is
// sent, "Saved with it" when Send saves it as a file.
QString withIt(const Config& config);

// "Cancel" of the writing page; Escape presses it.
YardButton* cancelButton(Model& model, QWidget* parent = nullptr);
// "Close" of the result pages; Return presses it.
YardButton* closeButton(Model& model, QWidget* parent = nullptr);
// "Back" from the e-mail result to writing.
YardButton* backButton(Model& model, QWidget* parent = nullptr);
// "Show in File Manager" for the saved report.
YardButton* revealButton(Model& model, QWidget* parent = nullptr);

// The sent page: `title`, the selectable `message`, and "Close" at the trailing end.
QWidget* sentPage(QWidget* title, const QString& message, Model& model, QWidget* parent = nullptr);

// The saved and e-mailed pages' message: why the report was saved (or to whom the new mail goes)
// and where the file is.
QString savedMessage(const Model& model, const QString& appName);

// Takes the result page `result` off `pages` and, when there is one, puts `next` on show there.
void replaceResult(QStackedLayout& pages, QPointer<QWidget>& result, QWidget* next);

}  // namespace ReportPages
}  // namespace pellucine::ReportProblem
