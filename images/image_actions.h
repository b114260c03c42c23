// What each configuration installs into the two image slots.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> image_actions(Configuration c);
