#include "diagnostics/ReportPhase.h"

namespace pellucine::ReportProblem {

Phase Phase::sent(QString id) {
    Phase phase;
    phase.kind_ = Kind::sent;
    phase.id_ = std::move(id);
    return phase;
}

Phase Phase::saved(QString file, QString reason) {
    Phase phase;
    phase.kind_ = Kind::saved;
    phase.file_ = std::move(file);
    phase.reason_ = std::move(reason);
    return phase;
}

Phase Phase::emailed(QString file) {
    Phase phase;
    phase.kind_ = Kind::emailed;
    phase.file_ = std::move(file);
    return phase;
}

Phase Phase::sending() {
    Phase phase;
    phase.kind_ = Kind::sending;
    return phase;
}

}  // namespace pellucine::ReportProblem
