// Playing a trace back against a renderer: the window, renderer options and
// named options it names, then its calls in order (establish, option changes,
// rendition items, actions and services with their arguments, buffer contents,
// update).  docs/trace-format.md describes the format.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "tools/host_session.h"
#include "trace/zd_trace_format.h"

// Reads a trace file as a stream: on_header gets the members before "calls"
// (as one object) once, before the first call; on_call gets each call as soon
// as it has been read whole, and the call is dropped afterwards, so memory stays
// near the size of one call however long the file.  The header members must
// come before "calls", as recordings write them.  A file cut short (a recording
// whose program stopped before finishing it) ends after its last whole call:
// the answer is then true.  Throws zd_trace::Format_Error with a readable
// message when the file cannot be read, is not JSON (before the cut), or holds
// no whole call before its cut; errors from the handlers pass through.
bool read_trace_stream(const std::string& path,
                       const std::function<void(const zd_trace::json&)>& on_header,
                       const std::function<void(const zd_trace::json&)>& on_call);
// The same from a stream of the given size in bytes, named in messages.
bool read_trace_stream(std::istream& in, const std::string& name, std::uintmax_t size,
                       const std::function<void(const zd_trace::json&)>& on_header,
                       const std::function<void(const zd_trace::json&)>& on_call);

// The whole trace in memory (the header members and "calls"); *cut_short tells
// whether the file was cut short.
zd_trace::json read_trace_file(const std::string& path, bool* cut_short);

struct Replay_Result {
  int32_t calls = 0;                   // calls played
  std::vector<std::string> fallbacks;  // host standard routines reached, in order
  std::vector<Presentation> presents;  // what the renderer presented, in order
  std::vector<std::string> refusals;   // why establishes were refused, in order
  bool cut_short = false;              // the file ended before its closing brackets
};

// Plays a trace file as it is read (read_trace_stream).  record_only: the
// host's standard routines record their calls and draw nothing, whatever the
// trace says.  Throws zd_trace::Format_Error naming the call (its position and
// kind) that could not be played.
Replay_Result replay_trace_file(const std::string& path, Host_Session& session, bool record_only);
Replay_Result replay_trace_stream(std::istream& in, const std::string& name, std::uintmax_t size,
                                  Host_Session& session, bool record_only);
// The same for a trace already in memory.
Replay_Result replay_trace(const zd_trace::json& trace, Host_Session& session, bool record_only);
