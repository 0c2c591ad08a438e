#include <gtest/gtest.h>

#include <QFile>

#include "app/DeepLink.h"
#include "platform/linux/DesktopEntryGroup.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

TEST(DesktopEntryTest, TheEntryStartsTheProgramWithTheLinkAndHandlesItsScheme) {
    QFile file(QStringLiteral(PELLUCINE_DESKTOP_ENTRY));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto group = readDesktopEntryGroup(file.readAll());
    ASSERT_TRUE(group.has_value());
    EXPECT_EQ(group->value("Type"), "Application");
    EXPECT_EQ(group->value("Exec"), "pellucine %u");
    const QStringList types = group->value("MimeType").split(';', Qt::SkipEmptyParts);
    EXPECT_TRUE(types.contains("x-scheme-handler/" + deepLinkScheme))
        << types.join(';').toStdString();
}

}  // namespace
}  // namespace pellucine
