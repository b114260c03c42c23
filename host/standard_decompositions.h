// How the host's standard actions break a primitive into simpler actions of the
// same renderer.  A slot without a specialisation has no decomposition: its
// standard action only records the call.
#pragma once

#include "host/zt_actions.h"

template <ZT_Slot S>
struct ZD_Decomposition {
  template <typename... A>
  static void run(ZT_Renderer_Data*, const ZT_Rendition&, A...) {}
};

// The specialisations, after the primary template.
#include "host/standard_image_decompositions.h"
