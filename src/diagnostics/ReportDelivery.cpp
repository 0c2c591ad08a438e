#include "diagnostics/ReportDelivery.h"

#include "diagnostics/ReportConfig.h"
#include "diagnostics/ReportFile.h"

namespace pellucine::ReportProblem {

Delivery Delivery::of(const Config& config, const Environment& environment) {
    if (config.hasEndpoint()) {
        return {Kind::sent, {}};
    }
    return {Kind::savedAsFile, ReportFile::nextPlace(environment)};
}

}  // namespace pellucine::ReportProblem
