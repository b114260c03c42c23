#include "tests/support/point_lists.h"

#include <stdexcept>
#include <string>
#include <type_traits>

Point_List::Point_List(std::vector<ZT_DCI_Point> points, std::vector<ZT_RGB32> c, bool s)
    : integer(std::move(points)), colours(std::move(c)), single(s),
      count(int32_t(integer.size())) {
  const float nudge[] = {0.49f, -0.49f, 0.25f, -0.5f, 0.0f};
  // Below zero, v - 0.5 rounds through v - 0.5 - 0.499999, which single
  // precision takes to v - 1 from 16 on: a nudge of -0.49 stays safe there.
  auto moved = [&](int32_t v, std::size_t k) {
    const float n = nudge[k % 5];
    return float(v) + (v < 0 && n == -0.5f ? -0.49f : n);
  };
  for (std::size_t i = 0; i < integer.size(); ++i) {
    const ZT_DCI_Point& p = integer[i];
    floats.push_back({moved(p.x, i), moved(p.y, i + 1), moved(p.z, i + 2)});
  }
}

namespace {
template <ZT_Slot S>
void draw_points_in(Test_Host& h, const Point_List& p) {
  using F = typename ZT_Slot_Traits<S>::Function;
  ZT_Action_Table& a = h.actions();
  const ZT_Rendition& d = h.rendition;
  const ZT_RGB32* c = p.colours.empty() ? nullptr : p.colours.data();
  if constexpr (std::is_same_v<F, ZT_Int_Strip_Fn>) a.call<S>(d, p.count, p.integer.data());
  else if constexpr (std::is_same_v<F, ZT_Float_Strip_Fn>) a.call<S>(d, p.count, p.floats.data());
  else if constexpr (std::is_same_v<F, ZT_Int_Colorized_Fn>)
    a.call<S>(d, p.count, p.integer.data(), c, p.single);
  else if constexpr (std::is_same_v<F, ZT_Float_Colorized_Fn>)
    a.call<S>(d, p.count, p.floats.data(), c, p.single);
  else if constexpr (std::is_same_v<F, ZT_Int_Colors_Fn>) a.call<S>(d, p.count, p.integer.data(), c);
  else if constexpr (std::is_same_v<F, ZT_Float_Colors_Fn>) a.call<S>(d, p.count, p.floats.data(), c);
  else throw std::logic_error(std::string(ZT_slot_name(S)) + " takes no list of points");
}
}  // namespace

void draw_points(Test_Host& host, ZT_Slot s, const Point_List& p) {
  switch (s) {
#define DRAW_POINTS_CASE(name, fn, standard) \
  case ZT_Slot::name: draw_points_in<ZT_Slot::name>(host, p); break;
    ZT_ACTION_SLOTS(DRAW_POINTS_CASE)
#undef DRAW_POINTS_CASE
  default: break;
  }
}

bool slot_named(ZT_Slot s, const char* part) {
  return std::string(ZT_slot_name(s)).find(part) != std::string::npos;
}

std::vector<ZT_Slot> slots_with(std::initializer_list<const char*> parts) {
  std::vector<ZT_Slot> out;
  for (int32_t i = 0; i < ZT_Slot_Count; ++i) {
    const ZT_Slot s = ZT_Slot(i);
    bool all = !slot_named(s, "preclip") && !slot_named(s, "textured");
    for (const char* part : parts) all = all && slot_named(s, part);
    if (all) out.push_back(s);
  }
  return out;
}
