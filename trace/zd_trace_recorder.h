// Recording a trace: every call a host makes into one renderer (options,
// establish, rendition items, every action with its arguments, update) written
// as JSON that zdi_replay plays back to the same buffers.  Recording starts when
// this library loads and the variable ZDI_TRACE names a file (the host library
// loads it then, host/zd_call_recorder.h), or through ZD_Start_Trace.  The
// recorder sees the calls through the host library's recorder hook.
// docs/trace-format.md describes the file.
#pragma once

#include <string>

#include "host/zd_call_recorder.h"

class ZT_Renderer_Data;

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

