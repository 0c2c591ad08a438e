#pragma once

// The port hands out the program's one subscription type.
#include "base/Subscription.h"
