#include "app/UpdateOffer.h"

#include "updates/UpdateController.h"

namespace pellucine {

UpdateOffer updateOffer(const UpdateController& updates) {
    UpdateOffer offer;
    offer.canUpdateItself = updates.canUpdateItself();
    offer.available = updates.availability().value();
    offer.currentVersion = updates.currentVersion();
    return offer;
}

}  // namespace pellucine
