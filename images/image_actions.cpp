#include "action_installation.h"

std::span<const Slot_Installation> image_actions(Configuration) { return {}; }
