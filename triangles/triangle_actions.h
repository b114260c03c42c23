// What each configuration installs into the twelve triangle slots.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> triangle_actions(Configuration c);
