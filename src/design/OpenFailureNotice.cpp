#include "design/OpenFailureNotice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace pellucine::OpenFailureNotice {

QWidget* show(QWidget* near, const QString& what, const QString& copyable) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Nothing Opened"), what,
                                QMessageBox::Close, near != nullptr ? near->window() : nullptr);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setInformativeText(copyable);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPushButton* copy = box->addButton(QStringLiteral("Copy"), QMessageBox::ActionRole);
    // The box stays open after a copy, so the text can still be read.
    copy->disconnect();
    QObject::connect(copy, &QAbstractButton::clicked, box, [copyable] {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) {
            clipboard->setText(copyable);
        }
    });
    box->show();
    return box;
}

std::function<void()> whenNothingOpened(QWidget* near, const QString& what,
                                        const QString& copyable) {
    return [anchored = near != nullptr, near = QPointer(near), what, copyable] {
        if (!anchored || near) {
            show(near, what, copyable);
        }
    };
}

}  // namespace pellucine::OpenFailureNotice
