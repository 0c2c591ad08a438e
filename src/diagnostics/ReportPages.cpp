#include "diagnostics/ReportPages.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "design/OpenFailureNotice.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "diagnostics/ReportFile.h"
#include "diagnostics/ReportModel.h"

namespace pellucine::ReportProblem::ReportPages {

QWidget* page(QVBoxLayout*& column, QWidget* parent) {
    auto* widget = new QWidget(parent);
    column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return widget;
}

QString supportOf(const Config& config) {
    return config.supportEmail.value_or(QStringLiteral("support"));
}

QString withIt(const Config& config) {
    return config.hasEndpoint() ? QStringLiteral("Sent with it") : QStringLiteral("Saved with it");
}

YardButton* cancelButton(Model& model, QWidget* parent) {
    auto* cancel = new YardButton(QStringLiteral("Cancel"), YardButton::Kind::secondary, parent);
    cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    QObject::connect(cancel, &QAbstractButton::clicked, [&model] { model.close(); });
    return cancel;
}

YardButton* closeButton(Model& model, QWidget* parent) {
    auto* close = new YardButton(QStringLiteral("Close"), YardButton::Kind::primary, parent);
    close->setShortcut(QKeySequence(Qt::Key_Return));
    QObject::connect(close, &QAbstractButton::clicked, [&model] { model.close(); });
    return close;
}

YardButton* backButton(Model& model, QWidget* parent) {
    auto* back = new YardButton(QStringLiteral("Back"), YardButton::Kind::secondary, parent);
    QObject::connect(back, &QAbstractButton::clicked, [&model] { model.backFromEmail(); });
    return back;
}

YardButton* revealButton(Model& model, QWidget* parent) {
    auto* show =
        new YardButton(QStringLiteral("Show in File Manager"), YardButton::Kind::secondary, parent);
    QObject::connect(
        show, &QAbstractButton::clicked, show, [&model, show, file = model.phase().file()] {
            const auto failed = [button = QPointer<QWidget>(show), file] {
                OpenFailureNotice::show(button,
                                        QStringLiteral("No file manager opened the folder."),
                                        QDir::toNativeSeparators(file));
            };
            if (const auto& files = model.environment().files) {
                files->reveal(file, failed);
            } else {
                failed();
            }
        });
    return show;
}

QWidget* sentPage(QWidget* title, const QString& message, Model& model, QWidget* parent) {
    QVBoxLayout* column = nullptr;
    QWidget* widget = page(column, parent);
    column->addWidget(title);
    auto* text = new YardText(message, Yard::bodyFont());
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(text);
    column->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(closeButton(model, widget));
    column->addLayout(row);
    return widget;
}

QString savedMessage(const Model& model, const QString& appName) {
    const Phase& phase = model.phase();
    const QString& file = phase.file();
    const QString lead = phase.is(Phase::Kind::emailed)
                             ? QStringLiteral("A new mail to %1 has the report attached.")
                                   .arg(supportOf(model.config()))
                             : phase.reason();
    return lead + QStringLiteral(" Everything you wrote, and what %1 attached, is in %2 %3.")
                      .arg(appName, QFileInfo(file).fileName(),
                           ReportFile::place(file, model.environment()));
}

void replaceResult(QStackedLayout& pages, QPointer<QWidget>& result, QWidget* next) {
    if (result) {
        pages.removeWidget(result);
        result->deleteLater();
    }
    result = next;
    if (next != nullptr) {
        pages.addWidget(next);
        pages.setCurrentWidget(next);
    }
}

}  // namespace pellucine::ReportProblem::ReportPages
