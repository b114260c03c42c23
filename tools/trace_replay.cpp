#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "tools/buffer_contents.h"
#include "tools/trace_replay.h"
#include "trace/zd_trace_arguments.h"
#include "trace/zd_trace_recorder.h"

using zd_trace::Format_Error;
using zd_trace::json;

namespace {

// One action: decode the arguments and call the slot through the table, as a
// host would.
template <ZT_Slot S>
void play_action(const json& call, ZT_Renderer_Data* renderer, const ZT_Rendition& rendition) {
  using Fn = typename ZT_Slot_Traits<S>::Function;
  auto values = zd_trace::Action_Arguments<Fn>::decode(S, call);
  std::apply([&](auto... a) { renderer->actions.call<S>(rendition, a...); }, values.args());
}

using Action_Player = void (*)(const json&, ZT_Renderer_Data*, const ZT_Rendition&);

const std::map<std::string, Action_Player>& action_players() {
  static const std::map<std::string, Action_Player> players = {
#define PLAYER(name, fn, standard) {#name, &play_action<ZT_Slot::name>},
      ZT_ACTION_SLOTS(PLAYER)
#undef PLAYER
  };
  return players;
}

void set_named_option(ZT_Renderer_Data* renderer, const std::string& name, const json& value) {
  if (name == zd_trace::zbuffer_write) {
    if (!ZD_Set_ZBuffer_Write(renderer, zd_trace::bool_from(value, name.c_str())))
      throw Format_Error("the renderer publishes no \"ZBuffer Write\" setter");
    return;
  }
  if (name == zd_trace::zbuffer_test) {
    if (!ZD_Set_ZBuffer_Test(renderer, zd_trace::int_from(value, name.c_str())))
      throw Format_Error("the renderer publishes no \"ZBuffer Test\" setter");
    return;
  }
  const ZT_Option* option = renderer->requested_options.find(name.c_str());
  if (!option || !option->value()) throw Format_Error("the renderer has no option \"" + name + "\"");
  ZT_Option_Value v = zd_trace::option_value_from(value, option->value()->kind(), name.c_str());
  ZD_Set_Option(renderer, name.c_str(), v);
}

// The option values of a header or an establish: set as the host's state before
// establish, so that a replay recorded again writes them once, inside its
// establish.  The depth setters are calls into the renderer and stay calls.
void set_named_options(ZT_Renderer_Data* renderer, const json& options) {
  if (!options.is_object()) throw Format_Error("\"options\" must be an object of name: value");
  for (auto it = options.begin(); it != options.end(); ++it) {
    const std::string& name = it.key();
    if (name == zd_trace::zbuffer_write || name == zd_trace::zbuffer_test) {
      set_named_option(renderer, name, it.value());
      continue;
    }
    ZT_Option* option = renderer->requested_options.find(name.c_str());
    if (!option || !option->value())
      throw Format_Error("the renderer has no option \"" + name + "\"");
    option->set(zd_trace::option_value_from(it.value(), option->value()->kind(), name.c_str()));
  }
  renderer->update_current_options();
}

// Window, renderer options and named options, as the header or an establish gives them.
void apply_settings(const json& j, Host_Session& session) {
  if (j.contains("window")) zd_trace::apply_window(j["window"], session.options());
  if (j.contains("renderer_options"))
    zd_trace::apply_renderer_options(j["renderer_options"], session.options());
  if (j.contains("options")) set_named_options(session.renderer(), j["options"]);
}

// A fill value: a hex word as a dump writes it ("FF000000", "FFFF", "1F") or a number.
uint32_t fill_value(const json& j) {
  if (!j.is_string()) return uint32_t(zd_trace::int_from(j, "fill"));
  const std::string s = j.get<std::string>();
  if (s.empty() || s.size() > 8 || s.find_first_not_of("0123456789abcdefABCDEF") != s.npos)
    throw Format_Error("\"fill\" must be a hex word of up to 8 digits, found \"" + s + "\"");
  return uint32_t(std::stoul(s, nullptr, 16));
}

void set_buffer(const ZT_Shared_Image& buffer, const json& contents, const char* which) {
  if (buffer.empty())
    throw Format_Error(std::string("there is no ") + which + " buffer to set (establish first)");
  if (contents.contains("fill")) fill_buffer(buffer, fill_value(contents["fill"]));
  if (contents.contains("rows")) {
    const json& rows = contents["rows"];
    if (!rows.is_array()) throw Format_Error("\"rows\" must be a list of hex strings");
    std::vector<std::string> text;
    for (const json& r : rows) {
      if (!r.is_string()) throw Format_Error("\"rows\" must be a list of hex strings");
      text.push_back(r.get<std::string>());
    }
    try {
      set_buffer_rows(buffer, text);
    } catch (const std::runtime_error& e) {
      throw Format_Error(std::string(which) + " rows: " + e.what());
    }
  }
}

struct Replay_State {
  ZT_Rendition rendition;
  bool clip_given = false;  // until the trace sets a hard clip, it is the whole window
};

void clip_to_window(Replay_State& state, const ZT_Renderer_Options& o) {
  if (state.clip_given) return;
  const ZT_Int_Point size = o.window_size();
  const ZT_Int_Point origin = o.local_coordinates() ? ZT_Int_Point{0, 0} : o.window_origin();
  // A window that runs past the end of the coordinates is clipped where they end.
  const auto last = [](int32_t first, int32_t count) {
    return int32_t(std::clamp<int64_t>(int64_t(first) + count - 1, INT32_MIN, INT32_MAX));
  };
  state.rendition.modify()->hard_clip = {origin.x, last(origin.x, size.x), origin.y,
                                         last(origin.y, size.y)};
}

// Plays one call; answers what an establish returned (0 for every other call).
int32_t play_call(const json& call, Host_Session& session, Replay_State& state) {
  if (!call.is_object()) throw Format_Error("a call must be an object with \"call\"");
  const json& name = zd_trace::member(call, "call");
  if (!name.is_string()) throw Format_Error("\"call\" must be a name");
  const std::string kind = name.get<std::string>();
  ZT_Renderer_Data* renderer = session.renderer();
  ZT_Rendition& rendition = state.rendition;
  if (kind == "establish") {
    apply_settings(call, session);
    const int32_t result = ZD_Establish(renderer);
    clip_to_window(state, session.options());
    return result;
  } else if (kind == "option") {
    set_named_option(renderer, zd_trace::member(call, "name").get<std::string>(),
                     zd_trace::member(call, "value"));
  } else if (kind == "window") {
    zd_trace::apply_window(call, session.options());
  } else if (kind == "renderer_options") {
    zd_trace::apply_renderer_options(call, session.options());
  } else if (kind == "rendition") {
    const json& items = zd_trace::member(call, "set");
    zd_trace::apply_rendition_items(items, rendition);
    if (items.contains("hard_clip")) state.clip_given = true;
  } else if (kind == "update") {
    const ZT_Int_Point size = session.options().window_size();
    ZT_Int_Rectangle rect{0, size.x - 1, 0, size.y - 1};
    if (call.contains("rect")) rect = zd_trace::rectangle_from(call["rect"]);
    ZD_Update(renderer, rect);
  } else if (kind == "set_buffers") {
    if (call.contains("color")) set_buffer(session.color_buffer(), call["color"], "colour");
    if (call.contains("depth")) set_buffer(session.depth_buffer(), call["depth"], "depth");
    ZD_Trace_Host_Entry(renderer, call.dump());  // a recording of this replay keeps them
  } else if (auto it = action_players().find(kind); it != action_players().end()) {
    it->second(call, renderer, rendition);
  } else {
    throw Format_Error("unknown call \"" + kind + "\"");
  }
  return 0;
}

// Plays one trace: the header's settings first, then each call in order, with
// the host's standard routines drawing or not as the trace (or record_only)
// says, and restored afterwards whatever happens.
class Trace_Player {
public:
  Trace_Player(Host_Session& session, bool record_only)
      : session_(session), record_only_(record_only), draw_before_(ZD_Standard_Actions_Draw()),
        presents_before_(session.presentations().size()) {}
  ~Trace_Player() { ZD_Set_Standard_Actions_Draw(draw_before_); }
  Trace_Player(const Trace_Player&) = delete;

  void begin(const json& header) {
    bool draw = !record_only_;
    if (draw && header.contains("standard_actions_draw"))
      draw = zd_trace::bool_from(header["standard_actions_draw"], "standard_actions_draw");
    ZD_Set_Standard_Actions_Draw(draw);
    ZD_Fallback_Log::clear();
    apply_settings(header, session_);
    clip_to_window(state_, session_.options());
  }

  void play(const json& call) {
    try {
      if (const int32_t refused = play_call(call, session_, state_))
        result_.refusals.push_back("call " + std::to_string(result_.calls + 1) + ": " +
                                   ZD_Establish_Result_Text(refused));
    } catch (const std::exception& e) {
      std::string kind = call.is_object() && call.contains("call") ? call["call"].dump() : "?";
      throw Format_Error("call " + std::to_string(result_.calls + 1) + " (" + kind +
                         "): " + e.what());
    }
    ++result_.calls;
  }

  Replay_Result finish() {
    for (const ZD_Fallback_Call& c : ZD_Fallback_Log::calls())
      result_.fallbacks.push_back(c.function);
    const auto& presents = session_.presentations();
    result_.presents.assign(presents.begin() + std::ptrdiff_t(presents_before_), presents.end());
    return std::move(result_);
  }

private:
  Host_Session& session_;
  bool record_only_, draw_before_;
  std::size_t presents_before_;
  Replay_State state_;
  Replay_Result result_;
};

}  // namespace

bool read_trace_stream(const std::string& path, const std::function<void(const json&)>& on_header,
                       const std::function<void(const json&)>& on_call) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Format_Error("cannot read the trace " + path);
  std::error_code size_error;
  const std::uintmax_t size = std::filesystem::file_size(path, size_error);
  return read_trace_stream(in, path, size_error ? UINTMAX_MAX : size, on_header, on_call);
}

bool read_trace_stream(std::istream& in, const std::string& path, std::uintmax_t size,
                       const std::function<void(const json&)>& on_header,
                       const std::function<void(const json&)>& on_call) {
  json header = json::object();
  bool header_given = false, calls_begun = false, calls_ended = false;
  std::string key;  // the member of the trace object being read
  int64_t whole_calls = 0;
  auto give_header = [&] {
    if (!header_given) on_header(header);
    header_given = true;
  };
  // Depth 0 is the trace object, 1 its members, 2 the calls in "calls".  The
  // callback answers false for what it has handed on, so nothing stays behind.
  json::parser_callback_t callback = [&](int depth, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    if (depth == 0 && (event == E::value || event == E::array_end))
      throw Format_Error(path + ": a trace is a JSON object");
    if (depth == 1 && event == E::key) {
      key = parsed.get<std::string>();
      if (calls_ended || (calls_begun && key != "calls"))
        throw Format_Error(path + ": \"" + key + "\" must come before \"calls\"");
      if (key == "calls") give_header();
      return true;
    }
    const bool member_done = depth == 1 && (event == E::value || event == E::object_end ||
                                            event == E::array_end);
    if (key == "calls") {
      if (depth == 1 && event == E::array_start) calls_begun = true;
      if (member_done) {
        if (!calls_begun) throw Format_Error(path + ": \"calls\" must be a list");
        calls_ended = true;
        return false;
      }
      if (depth == 2 && (event == E::value || event == E::object_end || event == E::array_end)) {
        on_call(parsed);
        ++whole_calls;
        return false;
      }
      return true;
    }
    if (member_done) {
      header[key] = std::move(parsed);
      return false;
    }
    return true;
  };
  try {
    const json ignored = json::parse(in, callback);  // the callback keeps what it needs
    (void)ignored;
  } catch (const json::parse_error& e) {
    // A cut: the text ends inside the trace, after at least one whole call.
    const bool at_end = e.byte >= size;
    if (!at_end || whole_calls == 0) throw Format_Error(path + " is not JSON: " + e.what());
    return true;
  } catch (const json::exception& e) {
    // A number beyond a double's range, and the like.
    throw Format_Error(path + " cannot be read: " + e.what());
  }
  if (!calls_begun) throw Format_Error(path + ": \"calls\" is missing");
  return false;
}

json read_trace_file(const std::string& path, bool* cut_short) {
  json trace = json::object(), calls = json::array();
  const bool cut = read_trace_stream(
      path, [&](const json& header) { trace = header; },
      [&](const json& call) { calls.push_back(call); });
  trace["calls"] = std::move(calls);
  if (cut_short) *cut_short = cut;
  return trace;
}

Replay_Result replay_trace_file(const std::string& path, Host_Session& session, bool record_only) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Format_Error("cannot read the trace " + path);
  std::error_code size_error;
  const std::uintmax_t size = std::filesystem::file_size(path, size_error);
  return replay_trace_stream(in, path, size_error ? UINTMAX_MAX : size, session, record_only);
}

Replay_Result replay_trace_stream(std::istream& in, const std::string& name, std::uintmax_t size,
                                  Host_Session& session, bool record_only) {
  Trace_Player player(session, record_only);
  const bool cut = read_trace_stream(
      in, name, size, [&](const json& header) { player.begin(header); },
      [&](const json& call) { player.play(call); });
  Replay_Result result = player.finish();
  result.cut_short = cut;
  return result;
}

Replay_Result replay_trace(const json& trace, Host_Session& session, bool record_only) {
  if (!trace.is_object()) throw Format_Error("a trace is a JSON object");
  Trace_Player player(session, record_only);
  json header = trace;
  header.erase("calls");
  player.begin(header);
  const json& calls = zd_trace::member(trace, "calls");
  if (!calls.is_array()) throw Format_Error("\"calls\" must be a list");
  for (const json& call : calls) player.play(call);
  return player.finish();
}
