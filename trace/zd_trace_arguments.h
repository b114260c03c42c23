// The JSON form of an action's own arguments, per slot signature.  encode turns
// a call's arguments into the members of its trace entry; decode reads them back
// into values that own their storage, and args() hands the slot exactly what the
// recorded call passed (the same counts, the same null pointers).
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "trace/zd_trace_format.h"
#include "host/zt_actions.h"

namespace zd_trace {

// How many colours a call of slot s reads: one per triangle of a strip, one per
// segment of a polyline, one per point for Gouraud and textured slots, one for a
// polygon; the single-colour flag makes it one.
int32_t colors_in_call(ZT_Slot s, int32_t count, bool single);
// True for the slots that read their colours whenever they draw (the colorized
// and Gouraud strips and polylines); the others take null for "no colours".
bool colors_required(ZT_Slot s);

// Images larger than this many pixels are not written into a trace.
inline constexpr int64_t largest_traced_image = int64_t(1) << 24;

namespace detail {

template <typename P>
json points(int32_t count, const P* p) {
  json out = json::array();
  for (int32_t i = 0; i < count; ++i) out.push_back(point(p[i]));
  return out;
}

template <typename T, typename Read>
std::vector<T> list_from(const json& j, const char* what, Read read) {
  if (!j.is_array()) throw Format_Error(std::string(what) + " must be a list");
  std::vector<T> out(j.size());
  for (std::size_t i = 0; i < j.size(); ++i) read(j[i], out[i]);
  return out;
}

template <typename P>
std::vector<P> points_from(const json& j) {
  return list_from<P>(j, "points", [](const json& e, P& p) { point_from(e, p); });
}

inline const json& member_or_empty(const json& call, const char* key) {
  static const json empty = json::array();
  auto it = call.find(key);
  return it == call.end() ? empty : *it;
}

inline json colors(const ZT_RGB32* c, int32_t n) {
  if (!c) return nullptr;
  json out = json::array();
  for (int32_t i = 0; i < n; ++i) out.push_back(color(c[i]));
  return out;
}

// Colours as the call passed them: absent (null) or at least `needed` entries.
struct Color_List {
  bool given = false;
  std::vector<ZT_RGB32> values;
  const ZT_RGB32* pointer() const {
    static const ZT_RGB32 none{};
    return !given ? nullptr : values.empty() ? &none : values.data();
  }
};

inline Color_List colors_from(const json& call, int32_t needed, ZT_Slot s) {
  const char* slot = ZT_slot_name(s);
  Color_List out;
  auto it = call.find("colors");
  if (it == call.end() || it->is_null()) {
    if (needed > 0 && colors_required(s))
      throw Format_Error(std::string(slot) + ": this call reads " + std::to_string(needed) +
                         " colours, the trace gives none");
    return out;
  }
  out.given = true;
  out.values = list_from<ZT_RGB32>(*it, "colors",
                                   [](const json& e, ZT_RGB32& c) { c = color_from(e); });
  if (int32_t(out.values.size()) < needed)
    throw Format_Error(std::string(slot) + ": this call reads " + std::to_string(needed) +
                       " colours, the trace gives " + std::to_string(out.values.size()));
  return out;
}

// The count passed with the points: the number of points unless "count" says
// otherwise (a count above the number of points would read past them).
inline int32_t count_from(const json& call, std::size_t points, const char* slot) {
  if (!call.contains("count")) return int32_t(points);
  int32_t count = int_from(call["count"], "count");
  if (count > 0 && std::size_t(count) > points)
    throw Format_Error(std::string(slot) + ": count " + std::to_string(count) + " but only " +
                       std::to_string(points) + " points");
  return count;
}

inline bool single_from(const json& call) {
  return call.contains("single") && bool_from(call["single"], "single");
}

// A block of pixel rows: rows of `words` words of bpp bytes, row_bytes apart.
struct Pixel_Rows {
  int32_t row_bytes = 0;
  bool given = false;
  std::vector<uint8_t> bytes;
  const void* pointer() const { return given ? static_cast<const void*>(bytes.data()) : nullptr; }
};

// The rows or columns from one corner to the other, 0 when they are crossed.
inline int64_t span(int32_t from, int32_t to) { return std::max<int64_t>(0, int64_t(to) - from + 1); }

inline json pixel_rows(const void* pixels, int64_t rows, int64_t words, int32_t row_bytes,
                       int32_t bpp) {
  if (!pixels || rows * words > largest_traced_image) return nullptr;
  json out = json::array();
  const auto* base = static_cast<const uint8_t*>(pixels);
  for (int64_t k = 0; k < rows; ++k)
    out.push_back(hex_row(base + std::ptrdiff_t(k) * row_bytes, int32_t(words), bpp));
  return out;
}

inline Pixel_Rows pixel_rows_from(const json& call, const char* key, int64_t rows, int64_t words,
                                  int32_t bpp, const char* slot) {
  Pixel_Rows out;
  out.row_bytes = int_from(member(call, "row_bytes"), "row_bytes");
  const json& j = member(call, key);
  if (j.is_null()) return out;
  if (rows > ZT_Largest_Image_Side || words > ZT_Largest_Image_Side)
    throw Format_Error(std::string(slot) + ": the trace gives the pixels of an image larger "
                       "than " + std::to_string(ZT_Largest_Image_Side) + " pixels a side");
  if (!j.is_array() || int64_t(j.size()) != rows)
    throw Format_Error(std::string(slot) + ": \"" + key + "\" must hold " + std::to_string(rows) +
                       " rows (one per row from start y down to end y)");
  if (rows > 0 && int64_t(out.row_bytes) * rows > int64_t(1) << 30)
    throw Format_Error(std::string(slot) + ": rows " + std::to_string(out.row_bytes) +
                       " bytes apart take more than 1 GiB");
  if (rows > 0 && out.row_bytes < words * bpp)
    throw Format_Error(std::string(slot) + ": row_bytes " + std::to_string(out.row_bytes) +
                       " is shorter than a row of " + std::to_string(words) + " pixels");
  out.given = true;
  out.bytes.assign(std::size_t(std::max<int64_t>(rows, 1)) * std::size_t(std::max(out.row_bytes, bpp)), 0);
  for (int32_t k = 0; k < rows; ++k) {
    if (!j[k].is_string()) throw Format_Error(std::string(slot) + ": rows are hex strings");
    std::vector<uint8_t> row = bytes_from_hex_row(j[k].get<std::string>(), bpp);
    if (int64_t(row.size()) != words * bpp)
      throw Format_Error(std::string(slot) + ": row " + std::to_string(k) + " has " +
                         std::to_string(row.size() / bpp) + " pixels, the image is " +
                         std::to_string(words) + " wide");
    std::memcpy(out.bytes.data() + std::size_t(k) * std::size_t(out.row_bytes), row.data(),
                row.size());
  }
  return out;
}

inline ZT_DCI_Point dci_from(const json& j) {
  ZT_DCI_Point p;
  point_from(j, p);
  return p;
}

}  // namespace detail

template <typename Fn>
struct Action_Arguments;

// count, points
template <typename P>
struct Action_Arguments<void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const P*)> {
  static json encode(ZT_Slot, int32_t count, const P* p) {
    return {{"count", count}, {"points", detail::points(count, p)}};
  }
  struct Values {
    int32_t count = 0;
    std::vector<P> points;
    auto args() { return std::tuple(count, points.data()); }
  };
  static Values decode(ZT_Slot s, const json& call) {
    Values v;
    v.points = detail::points_from<P>(detail::member_or_empty(call, "points"));
    v.count = detail::count_from(call, v.points.size(), ZT_slot_name(s));
    return v;
  }
};

// count, points, colours, single-colour flag
template <typename P>
struct Action_Arguments<void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const P*,
                             const ZT_RGB32*, bool)> {
  static json encode(ZT_Slot s, int32_t count, const P* p, const ZT_RGB32* c, bool single) {
    return {{"count", count},
            {"points", detail::points(count, p)},
            {"colors", detail::colors(c, colors_in_call(s, count, single))},
            {"single", single}};
  }
  struct Values {
    int32_t count = 0;
    std::vector<P> points;
    detail::Color_List colors;
    bool single = false;
    auto args() { return std::tuple(count, points.data(), colors.pointer(), single); }
  };
  static Values decode(ZT_Slot s, const json& call) {
    Values v;
    v.points = detail::points_from<P>(detail::member_or_empty(call, "points"));
    v.count = detail::count_from(call, v.points.size(), ZT_slot_name(s));
    v.single = detail::single_from(call);
    v.colors = detail::colors_from(call, colors_in_call(s, v.count, v.single), s);
    return v;
  }
};

// count, points, colours (per point; one or none for a polygon)
template <typename P>
struct Action_Arguments<void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const P*,
                             const ZT_RGB32*)> {
  static json encode(ZT_Slot s, int32_t count, const P* p, const ZT_RGB32* c) {
    return {{"count", count},
            {"points", detail::points(count, p)},
            {"colors", detail::colors(c, colors_in_call(s, count, false))}};
  }
  struct Values {
    int32_t count = 0;
    std::vector<P> points;
    detail::Color_List colors;
    auto args() { return std::tuple(count, points.data(), colors.pointer()); }
  };
  static Values decode(ZT_Slot s, const json& call) {
    Values v;
    v.points = detail::points_from<P>(detail::member_or_empty(call, "points"));
    v.count = detail::count_from(call, v.points.size(), ZT_slot_name(s));
    v.colors = detail::colors_from(call, colors_in_call(s, v.count, false), s);
    return v;
  }
};

// count, points, colours, texture parameters, parameter width, vertex w, normals
template <typename P>
struct Action_Arguments<void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const P*,
                             const ZT_RGB32*, const ZT_Parameter*, int32_t, const float*,
                             const ZT_Vector*)> {
  static int64_t parameter_count(int32_t count, int32_t width) {
    return int64_t(std::max(count, 0)) * std::max(width, 1);
  }
  static json encode(ZT_Slot s, int32_t count, const P* p, const ZT_RGB32* c,
                     const ZT_Parameter* parameters, int32_t width, const float* w,
                     const ZT_Vector* normals) {
    json params = nullptr, ws = nullptr, ns = nullptr;
    if (parameters) {
      params = json::array();
      for (int64_t i = 0; i < parameter_count(count, width); ++i)
        params.push_back(json::array({parameters[i].u, parameters[i].v, parameters[i].w}));
    }
    if (w) ws = std::vector<float>(w, w + std::max(count, 0));
    if (normals) {
      ns = json::array();
      for (int32_t i = 0; i < count; ++i)
        ns.push_back(json::array({normals[i].x, normals[i].y, normals[i].z}));
    }
    return {{"count", count},
            {"points", detail::points(count, p)},
            {"colors", detail::colors(c, colors_in_call(s, count, false))},
            {"parameters", params},
            {"parameter_width", width},
            {"w", ws},
            {"normals", ns}};
  }
  struct Values {
    int32_t count = 0, width = 1;
    std::vector<P> points;
    detail::Color_List colors;
    bool has_parameters = false, has_w = false, has_normals = false;
    std::vector<ZT_Parameter> parameters;
    std::vector<float> w;
    std::vector<ZT_Vector> normals;
    auto args() {
      return std::tuple(count, points.data(), colors.pointer(),
                        has_parameters ? parameters.data() : nullptr, width,
                        has_w ? w.data() : nullptr, has_normals ? normals.data() : nullptr);
    }
  };
  static Values decode(ZT_Slot s, const json& call) {
    const char* slot = ZT_slot_name(s);
    Values v;
    v.points = detail::points_from<P>(detail::member_or_empty(call, "points"));
    v.count = detail::count_from(call, v.points.size(), slot);
    v.colors = detail::colors_from(call, colors_in_call(s, v.count, false), s);
    if (call.contains("parameter_width"))
      v.width = int_from(call["parameter_width"], "parameter_width");
    const std::size_t n = std::size_t(std::max(v.count, 0));
    auto three = [](const json& e, float (&out)[3]) {
      if (!e.is_array() || e.size() != 3) throw Format_Error("expected [a, b, c], found " + e.dump());
      for (int i = 0; i < 3; ++i) out[i] = e[i].get<float>();
    };
    if (call.contains("parameters") && !call["parameters"].is_null()) {
      v.has_parameters = true;
      v.parameters = detail::list_from<ZT_Parameter>(
          call["parameters"], "parameters", [&](const json& e, ZT_Parameter& p) {
            float f[3];
            three(e, f);
            p = {f[0], f[1], f[2]};
          });
      if (int64_t(v.parameters.size()) < parameter_count(v.count, v.width))
        throw Format_Error(std::string(slot) + ": count × parameter_width parameters needed");
      if (v.parameters.empty()) v.parameters.resize(1);
    }
    if (call.contains("w") && !call["w"].is_null()) {
      v.has_w = true;
      v.w = detail::list_from<float>(call["w"], "w", [](const json& e, float& f) {
        f = e.get<float>();
      });
      if (v.w.size() < n) throw Format_Error(std::string(slot) + ": one w per point needed");
      if (v.w.empty()) v.w.resize(1);
    }
    if (call.contains("normals") && !call["normals"].is_null()) {
      v.has_normals = true;
      v.normals = detail::list_from<ZT_Vector>(call["normals"], "normals",
                                               [&](const json& e, ZT_Vector& nv) {
                                                 float f[3];
                                                 three(e, f);
                                                 nv = {f[0], f[1], f[2]};
                                               });
      if (v.normals.size() < n) throw Format_Error(std::string(slot) + ": one normal per point");
      if (v.normals.empty()) v.normals.resize(1);
    }
    return v;
  }
};

// one point, optional colour
template <>
struct Action_Arguments<ZT_Dot_Fn> {
  static json encode(ZT_Slot, const ZT_DCI_Point* p, const ZT_RGB32* c) {
    return {{"point", p ? point(*p) : json(nullptr)}, {"color", c ? color(*c) : json(nullptr)}};
  }
  struct Values {
    ZT_DCI_Point point;
    ZT_RGB32 color;
    bool has_color = false;
    auto args() { return std::tuple(&point, has_color ? &color : nullptr); }
  };
  static Values decode(ZT_Slot, const json& call) {
    Values v;
    v.point = detail::dci_from(member(call, "point"));
    if (call.contains("color") && !call["color"].is_null()) {
      v.has_color = true;
      v.color = color_from(call["color"]);
    }
    return v;
  }
};

// Images and depth blocks: upper-left start, lower-right end, rows top first.
template <typename Fn, typename Pixel, int32_t Bpp>
struct Block_Arguments {
  static constexpr const char* key = Bpp == 2 ? "depths" : "pixels";
  static json block(const ZT_DCI_Point* start, const ZT_DCI_Point* end, int32_t row_bytes,
                    const void* pixels) {
    const int64_t rows = detail::span(end->y, start->y), words = detail::span(start->x, end->x);
    return {{"start", point(*start)},
            {"end", point(*end)},
            {"row_bytes", row_bytes},
            {key, detail::pixel_rows(pixels, rows, words, row_bytes, Bpp)}};
  }
  struct Block {
    ZT_DCI_Point start, end;
    detail::Pixel_Rows rows;
    const Pixel* pixels() const { return static_cast<const Pixel*>(rows.pointer()); }
  };
  static Block block_from(ZT_Slot s, const json& call) {
    Block b;
    b.start = detail::dci_from(member(call, "start"));
    b.end = detail::dci_from(member(call, "end"));
    b.rows = detail::pixel_rows_from(call, key, detail::span(b.end.y, b.start.y),
                                     detail::span(b.start.x, b.end.x), Bpp, ZT_slot_name(s));
    return b;
  }
};

template <>
struct Action_Arguments<ZT_RGB32_Image_Fn> : Block_Arguments<ZT_RGB32_Image_Fn, ZT_RGB32, 4> {
  static json encode(ZT_Slot, const ZT_DCI_Point* start, const ZT_DCI_Point* end,
                     int32_t row_bytes, const ZT_RGB32* pixels, int32_t extra,
                     const ZT_Packing* packing) {
    json j = block(start, end, row_bytes, pixels);
    j["extra"] = extra;
    j["packing"] = packing ? json(packing->flags) : json(nullptr);
    return j;
  }
  struct Values {
    Block block;
    int32_t extra = 0;
    ZT_Packing packing;
    bool has_packing = false;
    auto args() {
      return std::tuple(&block.start, &block.end, block.rows.row_bytes, block.pixels(), extra,
                        has_packing ? &packing : nullptr);
    }
  };
  static Values decode(ZT_Slot s, const json& call) {
    Values v;
    v.block = block_from(s, call);
    if (call.contains("extra")) v.extra = int_from(call["extra"], "extra");
    if (call.contains("packing") && !call["packing"].is_null()) {
      v.has_packing = true;
      v.packing.flags = int_from(call["packing"], "packing");
    }
    return v;
  }
};

template <>
struct Action_Arguments<ZT_Index8_Image_Fn> : Block_Arguments<ZT_Index8_Image_Fn, uint8_t, 1> {
  static json encode(ZT_Slot, const ZT_DCI_Point* start, const ZT_DCI_Point* end,
                     int32_t row_bytes, const uint8_t* pixels) {
    return block(start, end, row_bytes, pixels);
  }
  struct Values {
    Block block;
    auto args() {
      return std::tuple(&block.start, &block.end, block.rows.row_bytes, block.pixels());
    }
  };
  static Values decode(ZT_Slot s, const json& call) { return {block_from(s, call)}; }
};

template <>
struct Action_Arguments<ZT_Put_Depth_Fn> : Block_Arguments<ZT_Put_Depth_Fn, void, 2> {
  static json encode(ZT_Slot, const ZT_DCI_Point* start, const ZT_DCI_Point* end,
                     int32_t row_bytes, const void* depths) {
    return block(start, end, row_bytes, depths);
  }
  struct Values {
    Block block;
    auto args() {
      return std::tuple(&block.start, &block.end, block.rows.row_bytes, block.rows.pointer());
    }
  };
  static Values decode(ZT_Slot s, const json& call) { return {block_from(s, call)}; }
};

// Reading a rectangle back: the result goes into an image the replay owns.
template <>
struct Action_Arguments<ZT_Get_Image_Fn> {
  static json encode(ZT_Slot, const ZT_DCI_Point* start, const ZT_DCI_Point* end,
                     const ZT_Image_Format* format, ZT_Shared_Image*) {
    return {{"start", point(*start)},
            {"end", point(*end)},
            {"format", format ? json(int32_t(*format)) : json(nullptr)}};
  }
  struct Values {
    ZT_DCI_Point start, end;
    ZT_Image_Format format = ZT_Image_Format_Any;
    ZT_Shared_Image image;
    auto args() { return std::tuple(&start, &end, &format, &image); }
  };
  static Values decode(ZT_Slot, const json& call) {
    Values v;
    v.start = detail::dci_from(member(call, "start"));
    v.end = detail::dci_from(member(call, "end"));
    if (call.contains("format") && !call["format"].is_null())
      v.format = ZT_Image_Format(int_from(call["format"], "format"));
    return v;
  }
};

// The rectangle services take everything from the rendition.
template <>
struct Action_Arguments<ZT_Rectangle_Service_Fn> {
  static json encode(ZT_Slot) { return json::object(); }
  struct Values {
    auto args() { return std::tuple(); }
  };
  static Values decode(ZT_Slot, const json&) { return {}; }
};

}  // namespace zd_trace
