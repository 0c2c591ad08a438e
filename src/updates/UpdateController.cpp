#include "updates/UpdateController.h"

namespace pellucine {

UpdateController::UpdateController(QObject* parent) : QObject(parent) {}

}  // namespace pellucine
