// The host's standard actions.  Each records its call in the fallback log; the
// decompositions that draw through the renderer's simpler actions
// (standard_decompositions.h) run when drawing is on.
#include <type_traits>

#include "host/zd_fallback_log.h"
#include "host/zt_actions.h"
#include "host/zt_renderer_data.h"
#include "host/standard_decompositions.h"

std::vector<ZD_Fallback_Call>& ZD_Fallback_Log::calls() {
  static std::vector<ZD_Fallback_Call> log;
  return log;
}

std::function<void(const ZD_Fallback_Call&)>& ZD_Fallback_Log::observer() {
  static std::function<void(const ZD_Fallback_Call&)> f;
  return f;
}

namespace {
bool standard_actions_draw = true;

template <typename T>
uint64_t widen(T v) {
  if constexpr (std::is_pointer_v<T>) return uint64_t(reinterpret_cast<uintptr_t>(v));
  else if constexpr (std::is_same_v<T, bool>) return v ? 1 : 0;
  else return uint64_t(int64_t(v));
}

template <typename... A>
void record(const char* name, ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
            A... args) {
  ZD_Fallback_Call call{name, renderer, rendition.data(), {widen(args)...}};
  ZD_Fallback_Log::calls().push_back(call);
  if (auto& f = ZD_Fallback_Log::observer()) f(call);
}
}  // namespace

void ZD_Set_Standard_Actions_Draw(bool draw) { standard_actions_draw = draw; }
bool ZD_Standard_Actions_Draw() { return standard_actions_draw; }

// Parameter and argument lists per signature, with their leading comma.
#define ZT_PARAMS_ZT_Float_Strip_Fn , int32_t a0, const ZT_Point* a1
#define ZT_PARAMS_ZT_Int_Strip_Fn , int32_t a0, const ZT_DCI_Point* a1
#define ZT_PARAMS_ZT_Double_Strip_Fn , int32_t a0, const ZT_Point_D* a1
#define ZT_PARAMS_ZT_Float_Colorized_Fn , int32_t a0, const ZT_Point* a1, const ZT_RGB32* a2, bool a3
#define ZT_PARAMS_ZT_Int_Colorized_Fn                                                           \
  , int32_t a0, const ZT_DCI_Point* a1, const ZT_RGB32* a2, bool a3
#define ZT_PARAMS_ZT_Double_Colorized_Fn                                                        \
  , int32_t a0, const ZT_Point_D* a1, const ZT_RGB32* a2, bool a3
#define ZT_PARAMS_ZT_Float_Colors_Fn , int32_t a0, const ZT_Point* a1, const ZT_RGB32* a2
#define ZT_PARAMS_ZT_Int_Colors_Fn , int32_t a0, const ZT_DCI_Point* a1, const ZT_RGB32* a2
#define ZT_PARAMS_ZT_Double_Colors_Fn , int32_t a0, const ZT_Point_D* a1, const ZT_RGB32* a2
#define ZT_PARAMS_ZT_Float_Textured_Fn                                                          \
  , int32_t a0, const ZT_Point* a1, const ZT_RGB32* a2, const ZT_Parameter* a3, int32_t a4,     \
      const float* a5, const ZT_Vector* a6
#define ZT_PARAMS_ZT_Int_Textured_Fn                                                            \
  , int32_t a0, const ZT_DCI_Point* a1, const ZT_RGB32* a2, const ZT_Parameter* a3, int32_t a4, \
      const float* a5, const ZT_Vector* a6
#define ZT_PARAMS_ZT_Double_Textured_Fn                                                         \
  , int32_t a0, const ZT_Point_D* a1, const ZT_RGB32* a2, const ZT_Parameter* a3, int32_t a4,   \
      const float* a5, const ZT_Vector* a6
#define ZT_PARAMS_ZT_Dot_Fn , const ZT_DCI_Point* a0, const ZT_RGB32* a1
#define ZT_PARAMS_ZT_RGB32_Image_Fn                                                             \
  , const ZT_DCI_Point* a0, const ZT_DCI_Point* a1, int32_t a2, const ZT_RGB32* a3, int32_t a4, \
      const ZT_Packing* a5
#define ZT_PARAMS_ZT_Index8_Image_Fn                                                            \
  , const ZT_DCI_Point* a0, const ZT_DCI_Point* a1, int32_t a2, const uint8_t* a3
#define ZT_PARAMS_ZT_Put_Depth_Fn                                                               \
  , const ZT_DCI_Point* a0, const ZT_DCI_Point* a1, int32_t a2, const void* a3
#define ZT_PARAMS_ZT_Get_Image_Fn                                                               \
  , const ZT_DCI_Point* a0, const ZT_DCI_Point* a1, const ZT_Image_Format* a2,                  \
      ZT_Shared_Image* a3
#define ZT_PARAMS_ZT_Rectangle_Service_Fn

#define ZT_ARGS_ZT_Float_Strip_Fn , a0, a1
#define ZT_ARGS_ZT_Int_Strip_Fn , a0, a1
#define ZT_ARGS_ZT_Double_Strip_Fn , a0, a1
#define ZT_ARGS_ZT_Float_Colorized_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Int_Colorized_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Double_Colorized_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Float_Colors_Fn , a0, a1, a2
#define ZT_ARGS_ZT_Int_Colors_Fn , a0, a1, a2
#define ZT_ARGS_ZT_Double_Colors_Fn , a0, a1, a2
#define ZT_ARGS_ZT_Float_Textured_Fn , a0, a1, a2, a3, a4, a5, a6
#define ZT_ARGS_ZT_Int_Textured_Fn , a0, a1, a2, a3, a4, a5, a6
#define ZT_ARGS_ZT_Double_Textured_Fn , a0, a1, a2, a3, a4, a5, a6
#define ZT_ARGS_ZT_Dot_Fn , a0, a1
#define ZT_ARGS_ZT_RGB32_Image_Fn , a0, a1, a2, a3, a4, a5
#define ZT_ARGS_ZT_Index8_Image_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Put_Depth_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Get_Image_Fn , a0, a1, a2, a3
#define ZT_ARGS_ZT_Rectangle_Service_Fn

namespace {
thread_local int32_t nesting_depth[ZT_Slot_Count] = {};
}

ZD_Standard_Nesting::ZD_Standard_Nesting(ZT_Slot slot) : slot_(slot) {
  ++nesting_depth[int32_t(slot)];
}
ZD_Standard_Nesting::~ZD_Standard_Nesting() { --nesting_depth[int32_t(slot_)]; }
int32_t ZD_Standard_Nesting::depth() const { return nesting_depth[int32_t(slot_)]; }
int32_t ZD_Standard_Nesting::depth_of(ZT_Slot slot) { return nesting_depth[int32_t(slot)]; }

// Every standard action records its call, then, when drawing is on and it is
// not nested in itself beyond its decomposition's limit, runs the host's
// decomposition for its slot (which may be none).
#define ZT_DEFINE_STANDARD(slot, fn, standard)                                                  \
  void standard(ZT_Renderer_Data* r, const ZT_Rendition& d ZT_PARAMS_##fn) {                    \
    record(#standard, r, d ZT_ARGS_##fn);                                                       \
    if (!standard_actions_draw) return;                                                         \
    const ZD_Standard_Nesting nesting(ZT_Slot::slot);                                           \
    if (nesting.depth() <= ZD_Decomposition<ZT_Slot::slot>::reentry_limit)                      \
      ZD_Decomposition<ZT_Slot::slot>::run(r, d ZT_ARGS_##fn);                                  \
  }
ZT_ACTION_SLOTS(ZT_DEFINE_STANDARD)
#undef ZT_DEFINE_STANDARD
