// The hook through which a recorder sees what a host does to a renderer: every
// action called through an action table, and the renderer control calls
// (zd_renderer_control.h).  The host library holds one recorder pointer; while
// it is null, which is whenever nothing records, each hook costs one test of it.
//
// The trace library (trace/) implements this interface.  When the host library
// loads with ZDI_TRACE naming a file, it loads the trace library from its own
// folder, which starts recording into that file; a program may also link the
// trace library and start a recording itself.
#pragma once

#include <cstdint>

enum class ZT_Slot : int32_t;
class ZT_Renderer_Data;
class ZT_Rendition;
class ZT_Option_Value;
struct ZT_Int_Rectangle;

class ZD_Call_Recorder {
public:
  // An action call, before it runs.  arguments points to the call's own
  // arguments as one ZT_Slot_Arguments<slot> tuple (zt_actions.h).
  virtual void enter_action(ZT_Slot slot, ZT_Renderer_Data* owner, const ZT_Rendition& rendition,
                            const void* arguments) = 0;
  // The same call, after it returned.
  virtual void leave_action() = 0;
  virtual void establish(ZT_Renderer_Data* renderer) = 0;
  virtual void update(ZT_Renderer_Data* renderer, const ZT_Int_Rectangle& rect) = 0;
  virtual void option(ZT_Renderer_Data* renderer, const char* name,
                      const ZT_Option_Value& value) = 0;

protected:
  ~ZD_Call_Recorder() = default;
};

// The recorder in force, or null.  Set it through ZD_Set_Call_Recorder.
extern ZD_Call_Recorder* ZD_call_recorder;
// Installs recorder (null: none).  The caller keeps it alive while installed.
void ZD_Set_Call_Recorder(ZD_Call_Recorder* recorder);

// The environment variable that makes the host library load the trace library.
inline constexpr const char* ZD_Trace_Variable = "ZDI_TRACE";
