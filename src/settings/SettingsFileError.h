#pragma once

#include "base/Error.h"

namespace pellucine {

// A settings file or folder that could not be written, with the system's reason.
class SettingsFileError final : public Error {
  public:
    // "The file “<name>” couldn’t be saved: <reason>."
    static SettingsFileError file(const QString& path, const QString& reason);
    // "The folder “<name>” couldn’t be created: <reason>."
    static SettingsFileError folder(const QString& path, const QString& reason);

    const QString& path() const { return path_; }
    QString typeName() const override { return QStringLiteral("pellucine.SettingsFileError"); }

  private:
    SettingsFileError(QString description, QString path)
        : Error(std::move(description)), path_(std::move(path)) {}

    QString path_;
};

}  // namespace pellucine
