// The host library's interface, all in one include.
#pragma once

#include "zd_clip.h"
#include "zd_fallback_log.h"
#include "zd_rank_polygon.h"
#include "frame_buffer_mask.h"
#include "zd_span_rectangle.h"
#include "zt_actions.h"
#include "zt_basics.h"
#include "zt_contour_set.h"
#include "zt_globals.h"
#include "zt_module.h"
#include "zt_object.h"
#include "zt_options.h"
#include "zt_palette.h"
#include "zt_renderer_data.h"
#include "zt_rendition.h"
#include "zt_shared_image.h"
