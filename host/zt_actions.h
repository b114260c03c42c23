// The action table: one slot per entry point a renderer offers, in slot order.
#pragma once

#include <cstdint>
#include <tuple>
#include <type_traits>

#include "host/zd_call_recorder.h"
#include "host/zt_basics.h"
#include "host/zt_rendition.h"
#include "host/zt_shared_image.h"

class ZT_Renderer_Data;

// Signatures of the actions: renderer and rendition first, then the slot's own
// arguments; actions return nothing.
using ZT_Float_Strip_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_Point*);
using ZT_Int_Strip_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_DCI_Point*);
using ZT_Double_Strip_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                const ZT_Point_D*);
using ZT_Float_Colorized_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                   const ZT_Point*, const ZT_RGB32*, bool);
using ZT_Int_Colorized_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                 const ZT_DCI_Point*, const ZT_RGB32*, bool);
using ZT_Double_Colorized_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                    const ZT_Point_D*, const ZT_RGB32*, bool);
// Also the polygon signature: a null colour means the rendition's current colour.
using ZT_Float_Colors_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_Point*,
                                const ZT_RGB32*);
using ZT_Int_Colors_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                              const ZT_DCI_Point*, const ZT_RGB32*);
using ZT_Double_Colors_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                 const ZT_Point_D*, const ZT_RGB32*);
using ZT_Float_Textured_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                  const ZT_Point*, const ZT_RGB32*, const ZT_Parameter*, int32_t,
                                  const float*, const ZT_Vector*);
using ZT_Int_Textured_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                const ZT_DCI_Point*, const ZT_RGB32*, const ZT_Parameter*,
                                int32_t, const float*, const ZT_Vector*);
using ZT_Double_Textured_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                   const ZT_Point_D*, const ZT_RGB32*, const ZT_Parameter*,
                                   int32_t, const float*, const ZT_Vector*);
using ZT_Dot_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, const ZT_DCI_Point*,
                       const ZT_RGB32*);
// start = upper-left (x0, y_top, z0), end = lower-right (x1, y_bottom, z1).
using ZT_RGB32_Image_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, const ZT_DCI_Point*,
                               const ZT_DCI_Point*, int32_t row_bytes, const ZT_RGB32*, int32_t,
                               const ZT_Packing*);
using ZT_Index8_Image_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, const ZT_DCI_Point*,
                                const ZT_DCI_Point*, int32_t row_bytes, const uint8_t*);
using ZT_Put_Depth_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, const ZT_DCI_Point*,
                             const ZT_DCI_Point*, int32_t row_bytes, const void*);
using ZT_Get_Image_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&, const ZT_DCI_Point*,
                             const ZT_DCI_Point*, const ZT_Image_Format*, ZT_Shared_Image*);
using ZT_Rectangle_Service_Fn = void(ZT_Renderer_Data*, const ZT_Rendition&);

// The slots in table order: X(slot name, signature, host standard action).
#define ZT_ACTION_SLOTS(X)                                                                      \
  X(draw_2d_polytriangle, ZT_Float_Strip_Fn, ZD_Standard_Draw_2D_Polytriangle)                  \
  X(draw_dc_polytriangle, ZT_Float_Strip_Fn, ZD_Standard_Draw_DC_Polytriangle)                  \
  X(draw_2di_polytriangle, ZT_Int_Strip_Fn, ZD_Standard_Draw_2DI_Polytriangle)                  \
  X(draw_dci_polytriangle, ZT_Int_Strip_Fn, ZD_Standard_Draw_DCI_Polytriangle)                  \
  X(draw_preclip_polytriangle, ZT_Double_Strip_Fn, ZD_Standard_Draw_Preclip_Polytriangle)       \
  X(draw_2d_colorized_polytriangle, ZT_Float_Colorized_Fn,                                      \
    ZD_Standard_Draw_2D_Colorized_Polytriangle)                                                 \
  X(draw_dc_colorized_polytriangle, ZT_Float_Colorized_Fn,                                      \
    ZD_Standard_Draw_DC_Colorized_Polytriangle)                                                 \
  X(draw_2di_colorized_polytriangle, ZT_Int_Colorized_Fn,                                       \
    ZD_Standard_Draw_2DI_Colorized_Polytriangle)                                                \
  X(draw_dci_colorized_polytriangle, ZT_Int_Colorized_Fn,                                       \
    ZD_Standard_Draw_DCI_Colorized_Polytriangle)                                                \
  X(draw_preclip_colorized_polytriangle, ZT_Double_Colorized_Fn,                                \
    ZD_Standard_Draw_Preclip_Colorized_Polytriangle)                                            \
  X(draw_2d_gouraud_polytriangle, ZT_Float_Colors_Fn, ZD_Standard_Draw_2D_Gouraud_Polytriangle) \
  X(draw_dc_gouraud_polytriangle, ZT_Float_Colors_Fn, ZD_Standard_Draw_DC_Gouraud_Polytriangle) \
  X(draw_2di_gouraud_polytriangle, ZT_Int_Colors_Fn, ZD_Standard_Draw_2DI_Gouraud_Polytriangle) \
  X(draw_dci_gouraud_polytriangle, ZT_Int_Colors_Fn, ZD_Standard_Draw_DCI_Gouraud_Polytriangle) \
  X(draw_preclip_gouraud_polytriangle, ZT_Double_Colors_Fn,                                     \
    ZD_Standard_Draw_Preclip_Gouraud_Polytriangle)                                              \
  X(draw_2d_textured_polytriangle, ZT_Float_Textured_Fn,                                        \
    ZD_Standard_Draw_2D_Textured_Polytriangle)                                                  \
  X(draw_dc_textured_polytriangle, ZT_Float_Textured_Fn,                                        \
    ZD_Standard_Draw_DC_Textured_Polytriangle)                                                  \
  X(draw_2di_textured_polytriangle, ZT_Int_Textured_Fn,                                         \
    ZD_Standard_Draw_2DI_Textured_Polytriangle)                                                 \
  X(draw_dci_textured_polytriangle, ZT_Int_Textured_Fn,                                         \
    ZD_Standard_Draw_DCI_Textured_Polytriangle)                                                 \
  X(draw_preclip_textured_polytriangle, ZT_Double_Textured_Fn,                                  \
    ZD_Standard_Draw_Preclip_Textured_Polytriangle)                                             \
  X(draw_2di_polyline, ZT_Int_Strip_Fn, ZD_Standard_Draw_2DI_Polyline)                          \
  X(draw_dci_polyline, ZT_Int_Strip_Fn, ZD_Standard_Draw_DCI_Polyline)                          \
  X(draw_preclip_polyline, ZT_Double_Strip_Fn, ZD_Standard_Draw_Preclip_Polyline)               \
  X(draw_2di_colorized_polyline, ZT_Int_Colorized_Fn, ZD_Standard_Draw_2DI_Colorized_Polyline)  \
  X(draw_dci_colorized_polyline, ZT_Int_Colorized_Fn, ZD_Standard_Draw_DCI_Colorized_Polyline)  \
  X(draw_preclip_colorized_polyline, ZT_Double_Colorized_Fn,                                    \
    ZD_Standard_Draw_Preclip_Colorized_Polyline)                                                \
  X(draw_2di_gouraud_polyline, ZT_Int_Colors_Fn, ZD_Standard_Draw_2DI_Gouraud_Polyline)         \
  X(draw_dci_gouraud_polyline, ZT_Int_Colors_Fn, ZD_Standard_Draw_DCI_Gouraud_Polyline)         \
  X(draw_preclip_gouraud_polyline, ZT_Double_Colors_Fn,                                         \
    ZD_Standard_Draw_Preclip_Gouraud_Polyline)                                                  \
  X(draw_2di_polymarker, ZT_Int_Strip_Fn, ZD_Standard_Draw_2DI_Polymarker)                      \
  X(draw_2d_polygon, ZT_Float_Colors_Fn, ZD_Standard_Draw_2D_Polygon)                           \
  X(draw_dc_polygon, ZT_Float_Colors_Fn, ZD_Standard_Draw_DC_Polygon)                           \
  X(draw_2di_polygon, ZT_Int_Colors_Fn, ZD_Standard_Draw_2DI_Polygon)                           \
  X(draw_dci_polygon, ZT_Int_Colors_Fn, ZD_Standard_Draw_DCI_Polygon)                           \
  X(draw_dci_dot, ZT_Dot_Fn, ZD_Standard_Draw_DCI_Dot)                                          \
  X(draw_dci_rgb32_image, ZT_RGB32_Image_Fn, ZD_Standard_Draw_DCI_RGB32_Image)                   \
  X(draw_dci_index8_image, ZT_Index8_Image_Fn, ZD_Standard_Draw_DCI_Index8_Image)               \
  X(put_depth_image, ZT_Put_Depth_Fn, ZD_Standard_Put_Depth_Image)                              \
  X(get_image, ZT_Get_Image_Fn, ZD_Standard_Get_Image)                                          \
  X(get_depth_image, ZT_Get_Image_Fn, ZD_Standard_Get_Depth_Image)                              \
  X(span_dc_rectangle, ZT_Rectangle_Service_Fn, ZD_Standard_Span_DC_Rectangle)                  \
  X(clear_depth_buffer, ZT_Rectangle_Service_Fn, ZD_Standard_Clear_Depth_Buffer)

enum class ZT_Slot : int32_t {
#define ZT_SLOT_ENUM(name, fn, standard) name,
  ZT_ACTION_SLOTS(ZT_SLOT_ENUM)
#undef ZT_SLOT_ENUM
      count
};
constexpr int32_t ZT_Slot_Count = int32_t(ZT_Slot::count);

// Per slot: its signature, its name and the host's standard action.
template <ZT_Slot S>
struct ZT_Slot_Traits;

// The host's standard actions: they take a primitive with the renderer's own
// arguments and break it into simpler actions of the same renderer.
#define ZT_STANDARD_DECLARE(name, fn, standard) fn standard;
ZT_ACTION_SLOTS(ZT_STANDARD_DECLARE)
#undef ZT_STANDARD_DECLARE

#define ZT_SLOT_TRAITS(slot_name, fn, standard_fn)                                              \
  template <>                                                                                   \
  struct ZT_Slot_Traits<ZT_Slot::slot_name> {                                                   \
    using Function = fn;                                                                        \
    static constexpr const char* name = #slot_name;                                             \
    static constexpr Function* standard = &standard_fn;                                         \
  };
ZT_ACTION_SLOTS(ZT_SLOT_TRAITS)
#undef ZT_SLOT_TRAITS

const char* ZT_slot_name(ZT_Slot s);

// One slot record.  function is stored type-erased; the slot's traits give its
// real signature.
struct ZT_Action_Slot {
  ZT_Renderer_Data* owner = nullptr;
  void (*function)() = nullptr;
  uint64_t extra = 0;
  int32_t enabled = 0;
};

// A slot's own arguments (those after renderer and rendition) as one tuple: the
// form in which a call is handed to a recorder.
template <typename Fn>
struct ZT_Action_Arguments;
template <typename... P>
struct ZT_Action_Arguments<void(ZT_Renderer_Data*, const ZT_Rendition&, P...)> {
  using Tuple = std::tuple<P...>;
};
template <ZT_Slot S>
using ZT_Slot_Arguments = typename ZT_Action_Arguments<typename ZT_Slot_Traits<S>::Function>::Tuple;

class ZT_Action_Table {
public:
  // Installs f: owner, function, extra 0, enabled 1.  An empty f only clears enabled.
  template <ZT_Slot S>
  void install(ZT_Renderer_Data* owner, typename ZT_Slot_Traits<S>::Function* f) {
    ZT_Action_Slot& slot = slots_[int32_t(S)];
    if (!f) {
      slot.enabled = 0;
      return;
    }
    slot = {owner, reinterpret_cast<void (*)()>(f), 0, 1};
  }
  template <ZT_Slot S>
  typename ZT_Slot_Traits<S>::Function* function() const {
    return reinterpret_cast<typename ZT_Slot_Traits<S>::Function*>(slots_[int32_t(S)].function);
  }
  // Calls the slot with its owner as the renderer argument.
  template <ZT_Slot S, typename... A>
  void call(const ZT_Rendition& rendition, A&&... args) const {
    const ZT_Action_Slot& slot = slots_[int32_t(S)];
    if (ZD_call_recorder) [[unlikely]] {
      call_recorded<S>(function<S>(), slot, rendition, static_cast<A&&>(args)...);
      return;
    }
    function<S>()(slot.owner, rendition, static_cast<A&&>(args)...);
  }
  const ZT_Action_Slot& slot(ZT_Slot s) const { return slots_[int32_t(s)]; }
  ZT_Action_Slot& slot(ZT_Slot s) { return slots_[int32_t(s)]; }
  // True when slot s holds the host's standard action.
  bool holds_standard(ZT_Slot s) const;

private:
  // A call while a recorder is installed (zd_call_recorder.h): the recorder sees
  // it with its arguments before it runs, and its end.  Out of line, so that the
  // usual path of call keeps its registers and its frame.
  template <ZT_Slot S, typename... P>
  [[gnu::noinline, gnu::cold]] static void call_recorded(
      void (*f)(ZT_Renderer_Data*, const ZT_Rendition&, P...), const ZT_Action_Slot& slot,
      const ZT_Rendition& rendition, std::type_identity_t<P>... args) {
    const ZT_Slot_Arguments<S> arguments{args...};
    ZD_call_recorder->enter_action(S, slot.owner, rendition, &arguments);
    struct Leave {
      ~Leave() {
        if (ZD_call_recorder) ZD_call_recorder->leave_action();
      }
    } leave;
    f(slot.owner, rendition, args...);
  }

  ZT_Action_Slot slots_[ZT_Slot_Count];
};
