#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include "panels/ApplicationIconProviding.h"
#include "platform/Workspace.h"

namespace pellucine {

// Application icons from the desktop's icon theme: the Icon key of the desktop entry an
// application was identified by (its bundle location), as a theme name or an absolute file.
// Answers are kept per desktop file for the life of the provider.
class DesktopEntryIcons final : public ApplicationIconProviding {
  public:
    static constexpr int side = 64;

    explicit DesktopEntryIcons(const Workspace& workspace) : workspace_(workspace) {}

    QImage icon(qint32 processIdentifier) const override;

    // The Icon value of the "[Desktop Entry]" group of a desktop file's text; empty without one.
    static QString iconKey(const QByteArray& text);
    // The icon named by an Icon value, found as IconLookup finds it.
    static QImage load(const QString& iconValue);

  private:
    const Workspace& workspace_;
    mutable QHash<QString, QImage> cache_;
};

}  // namespace pellucine
