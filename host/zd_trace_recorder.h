// Recording a trace: every call a host makes into one renderer (options,
// establish, rendition items, every action with its arguments, update) written
// as JSON that zdi_replay plays back to the same buffers.  Recording starts when
// the host library loads and the variable ZDI_TRACE names a file, or through
// ZD_Start_Trace.  docs/trace-format.md describes the file.
#pragma once

#include <string>

#include "host/zt_basics.h"

class ZT_Renderer_Data;
class ZT_Option_Value;

// The environment variable that starts a recording when the host library loads.
inline constexpr const char* ZD_Trace_Variable = "ZDI_TRACE";

// Starts recording into the file at path, replacing it; a recording in progress
// is finished first.  False, with the reason in *error, when the file cannot be
// opened.  The recording follows the first renderer it sees a call for.
bool ZD_Start_Trace(const std::string& path, std::string* error = nullptr);
// Finishes the file (it is complete JSON afterwards).  Nothing when not recording.
void ZD_Stop_Trace();
bool ZD_Tracing();

// A host program's own entry, the text of one JSON object on one line (for
// example the buffer contents it set), written into the trace as it is.
void ZD_Trace_Host_Entry(ZT_Renderer_Data* renderer, const std::string& json_object);

// The renderer control calls (zd_renderer_control.h) report through these.
void ZD_Trace_Establish(ZT_Renderer_Data* renderer);
void ZD_Trace_Update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect);
void ZD_Trace_Option(ZT_Renderer_Data* renderer, const char* name, const ZT_Option_Value& value);
