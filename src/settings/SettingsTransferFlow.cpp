#include "settings/SettingsTransferFlow.h"

#include <QPointer>
#include <utility>

#include "base/Error.h"
#include "coordination/AppModel.h"
#include "settings/DialogHost.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsTransfer.h"

namespace pellucine {

namespace {

const QString fallbackErrorText = QStringLiteral("Choose a valid PELLUCINE settings file.");

}  // namespace

SettingsTransferFlow::SettingsTransferFlow(AppModel& model, const SettingsContext& context,
                                           SettingsSaving& saving)
    : model_(model), context_(context), saving_(saving) {}

SettingsTransferFlow::~SettingsTransferFlow() = default;

// ---- Export ----------------------------------------------------------------------------------

void SettingsTransferFlow::exportSettings() {
    QByteArray data;
    try {
        data = SettingsTransfer::fileData(model_.portablePreferences().value());
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
        return;
    }
    exportedDocument_ = SettingsDocument{data};
    emit changed();
    context_.dialogs.chooseFileToSave(
        {QStringLiteral("Export Settings"), SettingsTransfer::nameFilter,
         SettingsTransfer::defaultFileName, QStringLiteral("json")},
        [self = QPointer<SettingsTransferFlow>(this)](const std::optional<QString>& path) {
            if (!self) {
                return;
            }
            const std::optional<SettingsDocument> document =
                std::exchange(self->exportedDocument_, std::nullopt);
            emit self->changed();
            if (!path || !document) {
                return;
            }
            try {
                document->write(*path);
            } catch (const std::exception& error) {
                self->setImportErrorMessage(errorDescription(error));
            }
        });
}

// ---- Import ----------------------------------------------------------------------------------

void SettingsTransferFlow::startImport() {
    if (importing_) {
        return;
    }
    importing_ = true;
    emit changed();
    context_.dialogs.chooseFileToOpen(
        {QStringLiteral("Import Settings"), SettingsTransfer::nameFilter, QString(), QString()},
        [self = QPointer<SettingsTransferFlow>(this)](const std::optional<QString>& path) {
            if (!self) {
                return;
            }
            self->importing_ = false;
            emit self->changed();
            if (path) {
                self->importSelectedFile(*path);
            }
        });
}

void SettingsTransferFlow::importSelectedFile(const QString& path) {
    PortablePreferences imported;
    try {
        imported = model_.preferenceStore().importSettings(path);
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
        return;
    }
    pendingImportedPreferences_ = imported;
    confirmingImport_ = true;
    emit changed();
    context_.dialogs.confirm(
        {QStringLiteral("Replace your settings with this file's?"),
         QStringLiteral("PELLUCINE backs up your current settings first, in About › Your Data › "
                        "backups. This computer's permissions, login item and sync choice stay "
                        "as they are."),
         QStringLiteral("Import Settings"), true, QStringLiteral("Cancel")},
        [self = QPointer<SettingsTransferFlow>(this)](bool confirmed) {
            if (!self) {
                return;
            }
            self->confirmingImport_ = false;
            if (confirmed) {
                self->applyImportedPreferences();
            } else {
                self->cancelImport();
            }
            emit self->changed();
        });
}

void SettingsTransferFlow::applyImportedPreferences() {
    if (!pendingImportedPreferences_) {
        return;
    }
    const PortablePreferences current = model_.portablePreferences().value();
    try {
        SettingsTransfer::writeBackup(context_.paths, current);
    } catch (const std::exception& error) {
        pendingImportedPreferences_.reset();
        setImportErrorMessage(errorDescription(error));
        return;
    }
    PortablePreferences imported = *std::exchange(pendingImportedPreferences_, std::nullopt);
    imported.syncEnabled = current.syncEnabled;
    model_.portablePreferences().set(std::move(imported));
    saving_.markSaved();
    emit changed();
}

void SettingsTransferFlow::cancelImport() {
    pendingImportedPreferences_.reset();
    emit changed();
}

// ---- Reset -----------------------------------------------------------------------------------

void SettingsTransferFlow::setConfirmingReset(bool confirming) {
    if (confirming == confirmingReset_) {
        return;
    }
    confirmingReset_ = confirming;
    emit changed();
}

void SettingsTransferFlow::resetAllSettings() {
    model_.portablePreferences().set(SettingsTransfer::defaultPortable(context_.wallClock.now()));
    model_.machinePreferences().set(SettingsTransfer::defaultMachine());
    confirmingReset_ = false;
    saving_.markSaved();
    emit changed();
}

// ---- Support files and failures --------------------------------------------------------------

void SettingsTransferFlow::saveSupportFileCompletion(const std::optional<QString>& path,
                                                     const QByteArray& bytes) {
    if (!path) {
        return;
    }
    try {
        SettingsTransfer::writeFile(*path, bytes);
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
    }
}

void SettingsTransferFlow::setImportErrorMessage(const std::optional<QString>& message) {
    importErrorMessage_ = message;
    emit changed();
    if (!message) {
        return;
    }
    const QString text = message->isEmpty() ? fallbackErrorText : *message;
    context_.dialogs.alert(
        {failedTitle, text, QStringLiteral("OK")},
        [self = QPointer<SettingsTransferFlow>(this), text] {
            // A later failure's alert keeps its own message.
            if (self && self->importErrorMessage_ &&
                (self->importErrorMessage_->isEmpty() ? fallbackErrorText
                                                      : *self->importErrorMessage_) == text) {
                self->importErrorMessage_.reset();
                emit self->changed();
            }
        });
}

}  // namespace pellucine
