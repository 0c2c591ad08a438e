#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

#include "preferences/PortablePreferences.h"
#include "settings/SettingsContext.h"
#include "settings/SettingsDocument.h"

namespace pellucine {

class AppModel;
class SettingsSaving;

// The settings window's transfers: exporting the settings to a file, importing a file in their
// place once the user confirms and the current ones are backed up, resetting both records, and
// writing support files. Files are chosen and confirmations answered later, through the
// window's dialogs; an answer that comes after the window went does nothing. A failure (a file
// that cannot be written, a refused import, a backup that cannot be made) shows the
// "Settings Transfer Failed" alert with its reason and changes no setting. What the files hold
// is SettingsTransfer's; commits go through the window's saving. `changed` follows every change
// of the flow's state. Main thread.
class SettingsTransferFlow final : public QObject {
    Q_OBJECT

  public:
    static inline const QString failedTitle = QStringLiteral("Settings Transfer Failed");

    // `context` and `saving` outlive the flow.
    SettingsTransferFlow(AppModel& model, const SettingsContext& context, SettingsSaving& saving);
    ~SettingsTransferFlow() override;

    void exportSettings();
    const std::optional<SettingsDocument>& exportedDocument() const { return exportedDocument_; }
    bool isImporting() const { return importing_; }
    // Opens the file choice for an import.
    void startImport();
    // Reads the chosen file and asks to confirm replacing the settings with it.
    void importSelectedFile(const QString& path);
    const std::optional<PortablePreferences>& pendingImportedPreferences() const {
        return pendingImportedPreferences_;
    }
    bool isConfirmingImport() const { return confirmingImport_; }
    // Backs up the current settings, then applies the pending import keeping this machine's
    // sync choice. Without a backup nothing is applied.
    void applyImportedPreferences();
    void cancelImport();
    bool isConfirmingReset() const { return confirmingReset_; }
    void setConfirmingReset(bool confirming);
    // Both records back to their defaults, sync off.
    void resetAllSettings();
    // Writes a support file to the chosen place; none writes nothing.
    void saveSupportFileCompletion(const std::optional<QString>& path, const QByteArray& bytes);
    // The text of the "Settings Transfer Failed" alert, shown while set.
    const std::optional<QString>& importErrorMessage() const { return importErrorMessage_; }
    void setImportErrorMessage(const std::optional<QString>& message);

  signals:
    void changed();

  private:
    AppModel& model_;
    const SettingsContext& context_;
    SettingsSaving& saving_;

    bool importing_ = false;
    std::optional<PortablePreferences> pendingImportedPreferences_;
    bool confirmingImport_ = false;
    std::optional<SettingsDocument> exportedDocument_;
    std::optional<QString> importErrorMessage_;
    bool confirmingReset_ = false;
};

}  // namespace pellucine
