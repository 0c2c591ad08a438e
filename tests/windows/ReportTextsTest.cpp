#include <gtest/gtest.h>

#include <QRegularExpression>

#include "support/QtPrinters.h"
#include "windows/catalogue/ShownTexts.h"
#include "windows/catalogue/WindowCatalogue.h"

namespace pellucine::testing {
namespace {

using namespace Qt::StringLiterals;

// The windows that say how a problem report leaves this computer.
const QStringList reportWindows = {u"settings-general"_s, u"settings-about"_s, u"guide-about"_s,
                                   u"report-writing"_s};

QStringList textsOf(WindowCatalogue& catalogue, const QString& name) {
    QWidget* window = catalogue.open(name, ColorScheme::light);
    return window != nullptr ? shownTexts(window) : QStringList();
}

QStringList matching(const QStringList& texts, const QString& pattern) {
    return texts.filter(QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption));
}

const QString sendingWords = u"\\b(sends|sent|sending)\\b"_s;

TEST(ReportTextsTest, WithoutAReportServerEveryWindowSaysTheReportIsSavedAndWhere) {
    WindowCatalogue catalogue;
    for (const QString& name : reportWindows) {
        SCOPED_TRACE(name.toStdString());
        const QStringList texts = textsOf(catalogue, name);
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(matching(texts, sendingWords), QStringList());
        EXPECT_FALSE(matching(texts, u"as a file|saved with it"_s).isEmpty());
        EXPECT_FALSE(matching(texts, u"on your Desktop"_s).isEmpty());
    }
}

TEST(ReportTextsTest, WithAReportServerEveryWindowSaysTheReportIsSent) {
    WindowCatalogue catalogue;
    catalogue.setReportEndpoint(QUrl(u"https://reports.example.com/report"_s));
    for (const QString& name : reportWindows) {
        SCOPED_TRACE(name.toStdString());
        const QStringList texts = textsOf(catalogue, name);
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_FALSE(matching(texts, sendingWords).isEmpty());
        EXPECT_EQ(matching(texts, u"as a file|saved with it|no report server"_s), QStringList());
    }
}

}  // namespace
}  // namespace pellucine::testing
