#pragma once

#include <QString>

#include "diagnostics/ReportDelivery.h"

namespace pellucine {

// What the settings pages say about problem reports, true to how this build delivers them.
namespace ReportTexts {

// The Support card's line under its title.
QString supportCard(const ReportProblem::Delivery& delivery);
// The About page guide's sentence.
QString guide(const ReportProblem::Delivery& delivery);

// The problem-report row of the General page's list of what leaves this computer.
struct Disclosure {
    QString title;
    QString hint;
    QString readout;

    friend bool operator==(const Disclosure&, const Disclosure&) = default;
};
Disclosure disclosure(const ReportProblem::Delivery& delivery);

}  // namespace ReportTexts
}  // namespace pellucine
