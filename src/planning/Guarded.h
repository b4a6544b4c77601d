#pragma once
#include "core/Guarded.h"

namespace planning {
using core::Guarded;
}  // namespace planning
