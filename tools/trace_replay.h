// Playing a trace back against a renderer: the window, renderer options and
// named options it names, then its calls in order (establish, option changes,
// rendition items, actions and services with their arguments, buffer contents,
// update).  docs/trace-format.md describes the format.
#pragma once

#include <string>
#include <vector>

#include "tools/host_session.h"
#include "trace/zd_trace_format.h"

// Reads a trace file.  A trace cut short (a recording whose program stopped
// before finishing it) is completed and read; *cut_short tells.  Throws
// zd_trace::Format_Error with a readable message when the file cannot be read.
zd_trace::json read_trace_file(const std::string& path, bool* cut_short);

struct Replay_Result {
  int32_t calls = 0;                   // calls played
  std::vector<std::string> fallbacks;  // host standard routines reached, in order
};

// Plays the trace.  record_only: the host's standard routines record their calls
// and draw nothing, whatever the trace says.  Throws zd_trace::Format_Error
// naming the call (its position and kind) that could not be played.
Replay_Result replay_trace(const zd_trace::json& trace, Host_Session& session, bool record_only);
