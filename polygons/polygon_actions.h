// The four polygon actions, the same in every configuration.
#pragma once

#include <span>

#include "pixel/slot_installation.h"

std::span<const Slot_Installation> polygon_actions();
