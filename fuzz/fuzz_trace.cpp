// The trace reader and replay: any text played as a trace against a renderer
// linked into the program.  Windows are kept small (a trace may ask for 16384
// × 16384, which is allowed but too slow to fuzz): inputs naming a larger
// width or height are passed over.  Errors in the trace are expected (they are
// messages); crashes, hangs and sanitizer reports are findings.
#include <regex>
#include <sstream>

#include "tools/trace_replay.h"

extern "C" ZT_Renderer_Data* ZD_Renderer(ZT_Renderer_Data** parent);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static const std::regex side("\"(width|height)\"\\s*:\\s*-?[0-9]{4,}");
  if (std::regex_search(text, side)) return 0;
  try {
    std::istringstream in(text);
    Host_Session session(&ZD_Renderer);
    replay_trace_stream(in, "input", text.size(), session, false);
  } catch (const zd_trace::Format_Error&) {
  } catch (const Host_Error&) {
  }
  return 0;
}
