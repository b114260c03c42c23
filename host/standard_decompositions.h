// How the host's standard actions break a primitive into simpler actions of the
// same renderer.  A slot without a specialisation has no decomposition: its
// standard action only records the call.
//
// A decomposition calls the renderer's actions through its action table, and a
// renderer may hand such a call back to the host's standard action of the
// same slot (a slot that still holds the standard action does so at once).
// ZD_Standard_Nesting counts, per slot, how many standard actions of that slot
// are running on this thread; an action entered deeper than its
// decomposition's reentry_limit records the call and draws nothing, so no
// decomposition can loop.
#pragma once

#include <cstdint>

#include "host/zt_actions.h"

class ZD_Standard_Nesting {
public:
  explicit ZD_Standard_Nesting(ZT_Slot slot);
  ~ZD_Standard_Nesting();
  ZD_Standard_Nesting(const ZD_Standard_Nesting&) = delete;
  ZD_Standard_Nesting& operator=(const ZD_Standard_Nesting&) = delete;

  // 1 for the outermost standard action of the slot, 2 when it runs inside
  // one of the same slot, ...
  int32_t depth() const;
  static int32_t depth_of(ZT_Slot slot);

private:
  ZT_Slot slot_;
};

template <ZT_Slot S>
struct ZD_Decomposition {
  static constexpr int32_t reentry_limit = 1;
  template <typename... A>
  static void run(ZT_Renderer_Data*, const ZT_Rendition&, A...) {}
};

// The specialisations, after the primary template.
#include "host/standard_face_decompositions.h"
#include "host/standard_image_decompositions.h"
#include "host/standard_line_decompositions.h"
#include "host/standard_textured_decompositions.h"
