#include <gtest/gtest.h>

#include "base/KeyNames.h"

namespace pellucine {
namespace {

TEST(KeyNamesTest, CapsAreSpelledOutAndOtherLabelsReadAsTheyStand) {
    EXPECT_EQ(KeyNames::spoken(KeyNames::control), QStringLiteral("Control"));
    EXPECT_EQ(KeyNames::spoken(QStringLiteral("Esc")), QStringLiteral("Escape"));
    EXPECT_EQ(KeyNames::spoken(QStringLiteral("↩")), QStringLiteral("Return"));
    EXPECT_EQ(KeyNames::spoken(QStringLiteral(",")), QStringLiteral("Comma"));
    for (const QString& same : {KeyNames::super, KeyNames::alt, KeyNames::shift, KeyNames::tab,
                                QStringLiteral("F5"), QStringLiteral("Key 105"), QString()}) {
        EXPECT_EQ(KeyNames::spoken(same), same);
    }
    // Names are matched whole and case by case.
    EXPECT_EQ(KeyNames::spoken(QStringLiteral("ctrl")), QStringLiteral("ctrl"));
    EXPECT_EQ(KeyNames::spoken(QStringLiteral("Ctrl ")), QStringLiteral("Ctrl "));
}

TEST(KeyNamesTest, ARunOfCapsIsReadWordByWord) {
    EXPECT_EQ(KeyNames::spoken(QStringList{KeyNames::control, KeyNames::alt, "K"}),
              QStringLiteral("Control Alt K"));
    EXPECT_EQ(KeyNames::spoken(QStringList{}), QString());
}

}  // namespace
}  // namespace pellucine
