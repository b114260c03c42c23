// What a host does to a renderer besides calling its actions: set named options,
// set the depth rules through the setters the renderer publishes, establish and
// present.  A host program goes through these so that a recorder sees every
// such call (zd_call_recorder.h).
#pragma once

#include <cstdint>

#include "host/zt_basics.h"

class ZT_Renderer_Data;
class ZT_Option_Value;

// Sets a named option in the requested table and copies it into the current
// one.  False when the renderer has no option of that name, or when the value's
// kind differs from the option's.
bool ZD_Set_Option(ZT_Renderer_Data* renderer, const char* name, const ZT_Option_Value& value);
// The two options whose values are the renderer's depth setters.
inline constexpr const char* ZD_ZBuffer_Write_Option = "ZBuffer Write";
inline constexpr const char* ZD_ZBuffer_Test_Option = "ZBuffer Test";
// Calls the setters published through those two options.  False when the
// renderer publishes none.
bool ZD_Set_ZBuffer_Write(ZT_Renderer_Data* renderer, bool write);
bool ZD_Set_ZBuffer_Test(ZT_Renderer_Data* renderer, int32_t mode);
// The renderer's establish and update.
int32_t ZD_Establish(ZT_Renderer_Data* renderer);
void ZD_Update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect);
