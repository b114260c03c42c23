// What each configuration installs into the textured triangle slots.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> textured_actions(Configuration c, bool alpha_blending);
