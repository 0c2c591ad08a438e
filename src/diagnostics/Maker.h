#pragma once

#include <QString>
#include <QUrl>

namespace pellucine::Maker {

// The program's maker and where users reach it.
inline const QString name = QStringLiteral("Orrinvale");
inline const QUrl website{QStringLiteral("https://orrinvale.com")};
inline const QUrl productWebsite{QStringLiteral("https://pellucine.orrinvale.com")};
inline const QString supportEmail = QStringLiteral("pellucine@orrinvale.com");

}  // namespace pellucine::Maker
