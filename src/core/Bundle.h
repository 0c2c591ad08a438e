#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>

namespace pellucine {

// The facts of an application bundle: its information keys and its resources. The program's
// own bundle is fixed when the build is configured and compiled into the program.
class Bundle {
  public:
    // `resourceRoot`: the folder (or ":/" resource prefix) that holds the resources.
    Bundle(QVariantMap infoDictionary, QString resourceRoot)
        : info_(std::move(infoDictionary)), resourceRoot_(std::move(resourceRoot)) {}

    // The program's bundle.
    static const Bundle& main();

    const QVariantMap& infoDictionary() const { return info_; }
    // The file of the resource `name`.`extension` in `subdirectory` of the resources (at their
    // top when empty); none when there is no such file.
    std::optional<QString> resourcePath(const QString& name, const QString& extension,
                                        const QString& subdirectory = {}) const;

    // A key read leniently as a flag: a Boolean as it is, a number as non-zero, a string as
    // "YES", "TRUE" or "1" in any case; false when absent or of any other kind.
    static bool infoBool(const QString& key, const Bundle& bundle);
    // A key read as text: a string that is not empty and is not a build-setting reference left
    // unexpanded ("$(…"); none otherwise.
    static std::optional<QString> infoString(const QString& key, const Bundle& bundle);

  private:
    QVariantMap info_;
    QString resourceRoot_;
};

}  // namespace pellucine
