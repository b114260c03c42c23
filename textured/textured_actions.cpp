// Textured triangles are the host's for now: no configuration installs its own.
#include "textured/textured_actions.h"

std::span<const Slot_Installation> textured_actions(Configuration, bool) { return {}; }
