// The trace recorder.  The file is written as the calls happen, one call per
// line and flushed, so that a program that crashes inside the renderer still
// leaves every call up to the crash on disk (zdi_replay reads such a cut trace).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <tuple>

#include "host/zd_call_recorder.h"
#include "host/zd_fallback_log.h"
#include "host/zt_renderer_data.h"
#include "trace/zd_trace_arguments.h"
#include "trace/zd_trace_recorder.h"

using zd_trace::json;

namespace {

// Encodes the arguments of one action call, handed over as the slot's tuple.
template <ZT_Slot S>
json encode_arguments(const void* arguments) {
  using Arguments = zd_trace::Action_Arguments<typename ZT_Slot_Traits<S>::Function>;
  return std::apply([](const auto&... a) { return Arguments::encode(S, a...); },
                    *static_cast<const ZT_Slot_Arguments<S>*>(arguments));
}

// One encoder per slot, in slot order.
constexpr json (*argument_encoders[])(const void*) = {
#define ZD_ENCODER(name, fn, standard) &encode_arguments<ZT_Slot::name>,
    ZT_ACTION_SLOTS(ZD_ENCODER)
#undef ZD_ENCODER
};
static_assert(std::size(argument_encoders) == std::size_t(ZT_Slot_Count));

}  // namespace

class ZD_Trace_Recorder final : public ZD_Call_Recorder {
public:
  explicit ZD_Trace_Recorder(std::FILE* file) : file_(file) {
    json header = {{"format", "zdi-trace"},
                   {"version", 1},
                   {"standard_actions_draw", ZD_Standard_Actions_Draw()}};
    std::string text = header.dump();
    text.pop_back();  // the calls list goes inside the header object
    std::fprintf(file_, "%s,\n\"calls\": [\n", text.c_str());
    std::fflush(file_);
  }
  ~ZD_Trace_Recorder() {
    if (ZD_call_recorder == this) ZD_Set_Call_Recorder(nullptr);
    std::fputs("\n]}\n", file_);
    std::fclose(file_);
  }
  ZD_Trace_Recorder(const ZD_Trace_Recorder&) = delete;

  // True for the renderer this recording follows: the first one it is asked about.
  bool follows(ZT_Renderer_Data* renderer) {
    if (!renderer_) renderer_ = renderer;
    return renderer_ == renderer;
  }

  void write(const json& entry) { write_text(entry.dump()); }
  void write_text(const std::string& text) {
    std::fprintf(file_, "%s%s", first_ ? "" : ",\n", text.c_str());
    std::fflush(file_);
    first_ = false;
  }

  // Writes the rendition items that differ from those last written.
  void write_rendition(const ZT_Rendition& rendition) {
    json items = zd_trace::rendition_items(*rendition);
    json changed = json::object();
    for (auto it = items.begin(); it != items.end(); ++it)
      if (rendition_.is_null() || rendition_[it.key()] != it.value()) changed[it.key()] = it.value();
    if (!changed.empty()) write({{"call", "rendition"}, {"set", changed}});
    rendition_ = std::move(items);
  }

  void enter_action(ZT_Slot slot, ZT_Renderer_Data* owner, const ZT_Rendition& rendition,
                    const void* arguments) override;
  void leave_action() override;
  void establish(ZT_Renderer_Data* renderer) override;
  void update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect) override;
  void option(ZT_Renderer_Data* renderer, const char* name, const ZT_Option_Value& value) override;

  int32_t nesting = 0;

private:
  std::FILE* file_;
  bool first_ = true;
  ZT_Renderer_Data* renderer_ = nullptr;
  json rendition_;  // the items as last written, null before the first action
};

ZD_Trace_Recorder* ZD_trace_recorder = nullptr;

bool ZD_Start_Trace(const std::string& path, std::string* error) {
  ZD_Stop_Trace();
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    if (error) *error = "cannot write the trace " + path + ": " + std::strerror(errno);
    return false;
  }
  ZD_trace_recorder = new ZD_Trace_Recorder(file);
  ZD_Set_Call_Recorder(ZD_trace_recorder);
  return true;
}

void ZD_Stop_Trace() {
  delete ZD_trace_recorder;
  ZD_trace_recorder = nullptr;
}

bool ZD_Tracing() { return ZD_trace_recorder != nullptr; }

namespace {

// Calls made while another is running (nesting > 0) follow from that call.
ZD_Trace_Recorder* recorder_for(ZT_Renderer_Data* renderer) {
  ZD_Trace_Recorder* r = ZD_trace_recorder;
  return r && r->nesting == 0 && r->follows(renderer) ? r : nullptr;
}

// Starts a recording named by the environment when the library loads and
// finishes it when the program ends.
struct Trace_From_Environment {
  Trace_From_Environment() {
    const char* path = std::getenv(ZD_Trace_Variable);
    if (!path || !*path) return;
    std::string error;
    if (!ZD_Start_Trace(path, &error)) std::fprintf(stderr, "%s\n", error.c_str());
  }
  ~Trace_From_Environment() { ZD_Stop_Trace(); }
};
Trace_From_Environment trace_from_environment;

}  // namespace

void ZD_Trace_Recorder::establish(ZT_Renderer_Data* renderer) {
  if (ZD_Trace_Recorder* r = recorder_for(renderer)) {
    const ZT_Renderer_Options& o = *renderer->renderer_options();
    r->write({{"call", "establish"},
              {"window", zd_trace::window(o)},
              {"renderer_options", zd_trace::renderer_options(o)},
              {"options", zd_trace::named_options(*renderer->option_table())}});
  }
}

void ZD_Trace_Host_Entry(ZT_Renderer_Data* renderer, const std::string& json_object) {
  if (ZD_Trace_Recorder* r = recorder_for(renderer)) r->write_text(json_object);
}

void ZD_Trace_Recorder::update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect) {
  if (ZD_Trace_Recorder* r = recorder_for(renderer))
    r->write({{"call", "update"}, {"rect", zd_trace::rectangle(rect)}});
}

void ZD_Trace_Recorder::option(ZT_Renderer_Data* renderer, const char* name,
                               const ZT_Option_Value& value) {
  if (ZD_Trace_Recorder* r = recorder_for(renderer))
    r->write({{"call", "option"}, {"name", name}, {"value", zd_trace::option_value(value)}});
}

void ZD_Trace_Recorder::enter_action(ZT_Slot slot, ZT_Renderer_Data* owner,
                                     const ZT_Rendition& rendition, const void* arguments) {
  if (ZD_Trace_Recorder* r = recorder_for(owner)) {
    r->write_rendition(rendition);
    json entry = {{"call", ZT_slot_name(slot)}};
    json encoded = argument_encoders[int32_t(slot)](arguments);
    for (auto it = encoded.begin(); it != encoded.end(); ++it) entry[it.key()] = it.value();
    r->write(entry);
  }
  ++nesting;
}

void ZD_Trace_Recorder::leave_action() {
  if (nesting > 0) --nesting;
}
