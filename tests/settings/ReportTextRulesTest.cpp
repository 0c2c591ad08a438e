#include <gtest/gtest.h>

#include "settings/ReportTexts.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;
using Delivery = ReportProblem::Delivery;

TEST(ReportTextRules, ASavedReportNamesWhereItGoesOrOnlyThatItIsAFile) {
    const Delivery desktop{Delivery::Kind::savedAsFile, u"on your Desktop"_s};
    EXPECT_EQ(ReportTexts::supportCard(desktop),
              u"Report a Problem saves what you write and PELLUCINE's log as a file on your "
              "Desktop for you to send, never window pictures, window titles, or app names."_s);
    const Delivery folder{Delivery::Kind::savedAsFile, u"in /home/ada/.local/share/reports"_s};
    EXPECT_EQ(ReportTexts::guide(folder),
              u"Report a Problem saves what you write and PELLUCINE's log as a file in "
              "/home/ada/.local/share/reports for you to send, never window pictures or titles."_s);
    // An unknown place leaves no gap before the rest of the sentence.
    const ReportTexts::Disclosure unknown = ReportTexts::disclosure(Delivery{});
    EXPECT_EQ(unknown.hint,
              u"Report a Problem saves what you write and PELLUCINE's log as a file; it leaves "
              "this computer only if you send that file."_s);
    EXPECT_EQ(unknown.readout, u"saved as a file"_s);
}

TEST(ReportTextRules, ASentReportSaysWhenItLeaves) {
    const Delivery sent{Delivery::Kind::sent, {}};
    EXPECT_EQ(ReportTexts::disclosure(sent),
              (ReportTexts::Disclosure{u"Sending a problem report"_s,
                                       u"What you write and PELLUCINE's log, only when you press "
                                       "Send in Report a Problem."_s,
                                       u"only when you send"_s}));
    EXPECT_FALSE(ReportTexts::supportCard(sent).contains(u"file"_s));
    EXPECT_FALSE(ReportTexts::guide(sent).contains(u"file"_s));
}

}  // namespace
}  // namespace pellucine
