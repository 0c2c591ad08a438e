#pragma once

#include <QString>

namespace pellucine::ReportProblem {

struct Config;
struct Environment;

// How this build's problem reports leave the computer: sent to its report server, or saved as a
// file for the user to send. The texts that promise one or the other read it.
struct Delivery {
    enum class Kind { sent, savedAsFile };

    Kind kind = Kind::savedAsFile;
    // Where Send saves the report, as the texts say it ("on your Desktop"); empty when reports
    // are sent or the place is not known.
    QString place;

    bool sends() const { return kind == Kind::sent; }

    // Sent when `config` has an endpoint, else saved where the next save of `environment` goes.
    static Delivery of(const Config& config, const Environment& environment);

    friend bool operator==(const Delivery&, const Delivery&) = default;
};

}  // namespace pellucine::ReportProblem
