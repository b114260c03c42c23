// Textured triangles are the host's for now: no configuration installs its own.
#include "core/action_installation.h"

std::span<const Slot_Installation> textured_actions(Configuration, bool) { return {}; }
