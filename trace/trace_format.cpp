#include <cctype>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "trace/zd_trace_format.h"

namespace zd_trace {

namespace {

std::string describe(const json& j) {
  std::string s = j.dump();
  return s.size() > 60 ? s.substr(0, 57) + "..." : s;
}

[[noreturn]] void fail(const std::string& what, const json& j) {
  throw Format_Error(what + ", found " + describe(j));
}

template <typename T>
T number_from(const json& j, const char* what) {
  if (!j.is_number()) fail(std::string(what) + ": a number was expected", j);
  return j.get<T>();
}

template <typename Point>
json point_of(const Point& p) {
  return json::array({p.x, p.y, p.z});
}

template <typename Point, typename T>
void read_point(const json& j, Point& p) {
  if (!j.is_array() || j.size() < 2 || j.size() > 3)
    fail("a point must be [x, y] or [x, y, z]", j);
  p.x = number_from<T>(j[0], "point x");
  p.y = number_from<T>(j[1], "point y");
  p.z = j.size() == 3 ? number_from<T>(j[2], "point z") : T(0);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = char(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

json int_pair(int32_t a, int32_t b) { return json::array({a, b}); }

void read_int_pair(const json& j, const char* what, int32_t& a, int32_t& b) {
  if (!j.is_array() || j.size() != 2) fail(std::string(what) + ": [x, y] was expected", j);
  a = int_from(j[0], what);
  b = int_from(j[1], what);
}

// The palette with_color_cube makes for the cube's levels and base, or null.
bool is_cube_palette(const ZT_Palette& p) {
  const ZT_Color_Cube* cube = p.color_cube();
  if (!cube || p.count() != 256) return false;
  ZT_Counted_Ptr<ZT_Palette> made(ZT_Palette::with_color_cube(cube->levels(), cube->base_index));
  for (int32_t i = 0; i < 256; ++i)
    if (!(made->color(i) == p.color(i))) return false;
  const ZT_Color_Cube& m = *made->color_cube();
  return m.red_step == cube->red_step && m.green_step == cube->green_step &&
         m.blue_step == cube->blue_step && m.red_scale == cube->red_scale &&
         m.green_scale == cube->green_scale && m.blue_scale == cube->blue_scale;
}

json palette(const ZT_Palette& p) {
  if (is_cube_palette(p)) {
    ZT_Int_RGB l = p.color_cube()->levels();
    return {{"color_cube", json::array({l.r, l.g, l.b})},
            {"base", p.color_cube()->base_index}};
  }
  json colors = json::array();
  for (int32_t i = 0; i < 256; ++i) colors.push_back(color(p.color(i)));
  json out = {{"count", p.count()}, {"colors", colors}};
  if (const ZT_Color_Cube* c = p.color_cube()) {
    ZT_Int_RGB l = c->levels();
    out["cube"] = {{"levels", json::array({l.r, l.g, l.b})},
                   {"base", c->base_index},
                   {"steps", json::array({c->red_step, c->green_step, c->blue_step})},
                   {"scales", json::array({c->red_scale, c->green_scale, c->blue_scale})}};
  }
  return out;
}

ZT_Int_RGB levels_from(const json& j) {
  if (!j.is_array() || j.size() != 3) fail("colour cube levels: [red, green, blue] expected", j);
  const ZT_Int_RGB l{int_from(j[0], "cube levels"), int_from(j[1], "cube levels"),
                     int_from(j[2], "cube levels")};
  if (!ZT_Color_Cube::levels_fit(l))
    fail("colour cube levels: at least 1 each and at most 256 colours in all expected", j);
  return l;
}

ZT_Counted_Ptr<ZT_Palette> palette_from(const json& j) {
  if (j.contains("color_cube")) {
    ZT_Int_RGB l = levels_from(j["color_cube"]);
    return ZT_Palette::with_color_cube(l, j.contains("base") ? byte_from(j["base"], "base") : 0);
  }
  const json& colors = member(j, "colors");
  if (!colors.is_array() || colors.size() > 256)
    fail("palette colors: an array of at most 256 colours expected", colors);
  ZT_Counted_Ptr<ZT_Palette> p(new ZT_Palette());
  for (std::size_t i = 0; i < colors.size(); ++i) p->set_color(int32_t(i), color_from(colors[i]));
  if (j.contains("count") && !p->set_count(int_from(j["count"], "palette count")))
    fail("palette count: 1 to 256 expected", j["count"]);
  if (j.contains("cube")) {
    const json& c = j["cube"];
    ZT_Color_Cube cube(levels_from(member(c, "levels")), 1.0f, byte_from(member(c, "base"), "base"));
    auto three = [&](const char* key) -> const json& {
      const json& t = c[key];
      if (!t.is_array() || t.size() != 3) fail(std::string("cube ") + key + ": [red, green, blue] expected", t);
      return t;
    };
    if (c.contains("steps")) {
      const json& s = three("steps");
      cube.red_step = byte_from(s[0], "steps");
      cube.green_step = byte_from(s[1], "steps");
      cube.blue_step = byte_from(s[2], "steps");
    }
    if (c.contains("scales")) {
      const json& s = three("scales");
      cube.red_scale = int_from(s[0], "scales");
      cube.green_scale = int_from(s[1], "scales");
      cube.blue_scale = int_from(s[2], "scales");
    }
    if (!p->set_color_cube(cube))
      fail("palette cube: scales from 0 to " + std::to_string(ZT_Color_Cube::largest_scale) +
               " expected",
           c);
  }
  return p;
}

json contours(const ZT_Contour_Set& set) {
  if (set.empty()) return nullptr;
  json out = json::array();
  for (const auto& contour : set->contours) {
    json c = json::array();
    for (const ZT_Point& p : contour)
      c.push_back(p.z == 0 ? json::array({p.x, p.y}) : point(p));
    out.push_back(c);
  }
  return out;
}

ZT_Contour_Set contours_from(const json& j) {
  if (j.is_null()) return {};
  if (!j.is_array()) fail("complex_clip: a list of contours (lists of points) expected", j);
  std::vector<std::vector<ZT_Point>> out;
  for (const json& c : j) {
    if (!c.is_array()) fail("complex_clip: each contour is a list of points", c);
    std::vector<ZT_Point>& contour = out.emplace_back();
    for (const json& p : c) point_from(p, contour.emplace_back());
  }
  return ZT_Contour_Set(std::move(out));
}

// The rows of a texture's image, top row first.  A draw after draw with the
// same texture asks again; the last image's rows are kept with a copy of its
// texels, so they are written out again only when the texels changed.
json texel_rows(const ZT_Image_Data& image) {
  struct Last {
    const ZT_Image_Data* image = nullptr;
    std::vector<uint8_t> texels;
    json rows;
  };
  static thread_local Last last;
  const std::size_t row_bytes = std::size_t(image.width) * 4;
  std::vector<uint8_t> texels;
  texels.reserve(row_bytes * std::size_t(image.height));
  for (const uint8_t* row : image.rows_in_memory_order) texels.insert(texels.end(), row, row + row_bytes);
  if (last.image == &image && last.texels == texels) return last.rows;
  json rows = json::array();
  for (const uint8_t* row : image.rows_in_memory_order) rows.push_back(hex_row(row, image.width, 4));
  last = {&image, std::move(texels), rows};
  return rows;
}

json texture(const ZT_Texture* t) {
  if (!t) return nullptr;
  const ZT_Shared_Image image = t->image(0, 0);
  return {{"u_wrap", t->u_wrap},
          {"v_wrap", t->v_wrap},
          {"fallback", t->fallback != 0},
          {"modulate", t->modulate != 0},
          {"width", image->width},
          {"height", image->height},
          {"rows", texel_rows(*image.data())}};
}

ZT_Counted_Ptr<ZT_Texture> texture_from(const json& v) {
  ZT_Counted_Ptr<ZT_Texture> t;
  if (v.contains("rows")) {
    const int32_t width = int_from(member(v, "width"), "texture width");
    const int32_t height = int_from(member(v, "height"), "texture height");
    const json& rows = v["rows"];
    if (!rows.is_array() || int64_t(rows.size()) != height)
      fail("texture rows: one row of texel words per row of the image expected", rows);
    std::vector<uint8_t> texels;
    for (const json& row : rows) {
      if (!row.is_string()) fail("texture rows: hex words expected", row);
      const std::vector<uint8_t> words = bytes_from_hex_row(row.get<std::string>(), 4);
      if (int64_t(words.size()) != int64_t(width) * 4)
        fail("texture rows: each row holds width texel words", row);
      texels.insert(texels.end(), words.begin(), words.end());
    }
    try {
      t = ZT_Counted_Ptr<ZT_Texture>(new ZT_Texture(
          ZT_Shared_Image(width, height, ZT_Image_Format_RGB32, 0, texels.data(), false)));
    } catch (const ZT_Texture_Error& e) {
      fail(std::string("texture: ") + e.what(), v);
    }
  } else {
    t = ZT_Counted_Ptr<ZT_Texture>(new ZT_Texture());
  }
  if (v.contains("u_wrap")) t->u_wrap = int_from(v["u_wrap"], "u_wrap");
  if (v.contains("v_wrap")) t->v_wrap = int_from(v["v_wrap"], "v_wrap");
  if (v.contains("fallback")) t->fallback = bool_from(v["fallback"], "fallback");
  if (v.contains("modulate")) t->modulate = bool_from(v["modulate"], "modulate");
  return t;
}

json light_levels(const ZT_Light_Levels& l) { return json::array({l[0], l[1], l[2]}); }
void read_light_levels(const json& j, const char* what, ZT_Light_Levels& l) {
  if (!j.is_array() || j.size() != 3)
    fail(std::string(what) + ": [blue, green, red] expected", j);
  for (int32_t k = 0; k < 3; ++k) l[k] = number_from<float>(j[std::size_t(k)], what);
}

// The lighting of the face's material (its texture is the item "texture").
json material(const ZT_Basic_Material* m) {
  if (!m) return nullptr;
  const ZT_Vector& l = m->light_direction;
  return {{"ambient", light_levels(m->ambient)},
          {"diffuse", light_levels(m->diffuse)},
          {"emission", light_levels(m->emission)},
          {"light_direction", json::array({l.x, l.y, l.z})}};
}

void apply_material(const json& v, ZT_Face_Attributes& f) {
  if (v.is_null()) {
    f.material = nullptr;
    return;
  }
  if (!v.is_object()) fail("material: null or an object expected", v);
  if (!f.material) f.material = ZT_Counted_Ptr<ZT_Basic_Material>(new ZT_Basic_Material());
  ZT_Basic_Material& m = *f.material.make_unshared();
  if (v.contains("ambient")) read_light_levels(v["ambient"], "material ambient", m.ambient);
  if (v.contains("diffuse")) read_light_levels(v["diffuse"], "material diffuse", m.diffuse);
  if (v.contains("emission")) read_light_levels(v["emission"], "material emission", m.emission);
  if (v.contains("light_direction")) {
    const json& d = v["light_direction"];
    if (!d.is_array() || d.size() != 3) fail("material light_direction: [x, y, z] expected", d);
    m.light_direction = {number_from<float>(d[0], "light_direction"),
                         number_from<float>(d[1], "light_direction"),
                         number_from<float>(d[2], "light_direction")};
  }
}

}  // namespace

json color(ZT_RGB32 c) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", unsigned(c.word()));
  return text;
}

ZT_RGB32 color_from(const json& j) {
  if (j.is_number_integer()) return ZT_RGB32::from_word(uint32_from(j, "a colour word"));
  if (!j.is_string()) fail("a colour must be a hex string \"AARRGGBB\" or \"RRGGBB\"", j);
  std::string s = j.get<std::string>();
  if (!s.empty() && s[0] == '#') s.erase(0, 1);
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.erase(0, 2);
  if (s.size() != 6 && s.size() != 8) fail("a colour must have 6 or 8 hex digits", j);
  uint32_t word = 0;
  for (char ch : s) {
    int d = hex_digit(ch);
    if (d < 0) fail("a colour must have 6 or 8 hex digits", j);
    word = word << 4 | uint32_t(d);
  }
  if (s.size() == 6) word |= 0xFF000000u;
  return ZT_RGB32::from_word(word);
}

json point(const ZT_Point& p) { return point_of(p); }
json point(const ZT_DCI_Point& p) { return point_of(p); }
json point(const ZT_Point_D& p) { return point_of(p); }
void point_from(const json& j, ZT_Point& p) { read_point<ZT_Point, float>(j, p); }
void point_from(const json& j, ZT_Point_D& p) { read_point<ZT_Point_D, double>(j, p); }
void point_from(const json& j, ZT_DCI_Point& p) {
  if (!j.is_array() || j.size() < 2 || j.size() > 3)
    fail("a point must be [x, y] or [x, y, z]", j);
  p.x = int_from(j[0], "point x");
  p.y = int_from(j[1], "point y");
  p.z = j.size() == 3 ? int_from(j[2], "point z") : 0;
}

json rectangle(const ZT_Int_Rectangle& r) {
  return json::array({r.left, r.right, r.bottom, r.top});
}

ZT_Int_Rectangle rectangle_from(const json& j) {
  if (!j.is_array() || j.size() != 4)
    fail("a rectangle must be [left, right, bottom, top]", j);
  return {int_from(j[0], "left"), int_from(j[1], "right"), int_from(j[2], "bottom"),
          int_from(j[3], "top")};
}

namespace {
// An integer within [low, high], or a message naming what and the range.
int64_t integer_in(const json& j, const char* what, int64_t low, int64_t high) {
  if (!j.is_number_integer()) fail(std::string(what) + ": an integer was expected", j);
  // Unsigned numbers beyond the signed 64-bit range are out of every range here.
  const bool in_range = j.is_number_unsigned()
                            ? j.get<uint64_t>() <= uint64_t(high)
                            : j.get<int64_t>() >= low && j.get<int64_t>() <= high;
  if (!in_range)
    fail(std::string(what) + ": an integer from " + std::to_string(low) + " to " +
             std::to_string(high) + " was expected",
         j);
  return j.is_number_unsigned() ? int64_t(j.get<uint64_t>()) : j.get<int64_t>();
}
}  // namespace

int32_t int_from(const json& j, const char* what) {
  return int32_t(integer_in(j, what, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max()));
}

uint32_t uint32_from(const json& j, const char* what) {
  return uint32_t(integer_in(j, what, 0, std::numeric_limits<uint32_t>::max()));
}

uint8_t byte_from(const json& j, const char* what) {
  return uint8_t(integer_in(j, what, 0, 255));
}

bool bool_from(const json& j, const char* what) {
  if (j.is_boolean()) return j.get<bool>();
  if (j.is_number_integer()) return j.get<int64_t>() != 0;
  fail(std::string(what) + ": true or false was expected", j);
}

const json& member(const json& object, const char* key) {
  if (!object.is_object()) fail(std::string("an object with \"") + key + "\" was expected", object);
  auto it = object.find(key);
  if (it == object.end()) fail(std::string("\"") + key + "\" is missing", object);
  return *it;
}

std::string hex_row(const uint8_t* bytes, int32_t words, int32_t bytes_per_word) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(std::size_t(words) * std::size_t(bytes_per_word * 2 + 1));
  for (int32_t w = 0; w < words; ++w) {
    if (w) out += ' ';
    const uint8_t* word = bytes + std::size_t(w) * std::size_t(bytes_per_word);
    for (int32_t b = bytes_per_word - 1; b >= 0; --b) {
      out += digits[word[b] >> 4];
      out += digits[word[b] & 15];
    }
  }
  return out;
}

std::vector<uint8_t> bytes_from_hex_row(const std::string& row, int32_t bytes_per_word) {
  std::vector<uint8_t> out;
  std::size_t i = 0;
  const std::size_t digits = std::size_t(bytes_per_word) * 2;
  while (i < row.size()) {
    if (row[i] == ' ') {
      ++i;
      continue;
    }
    uint32_t word = 0;
    std::size_t n = 0;
    for (; i < row.size() && row[i] != ' '; ++i, ++n) {
      int d = hex_digit(row[i]);
      if (d < 0 || n >= digits)
        throw Format_Error("a row word must have " + std::to_string(digits) +
                           " hex digits: \"" + row.substr(0, 40) + "\"");
      word = word << 4 | uint32_t(d);
    }
    if (n != digits)
      throw Format_Error("a row word must have " + std::to_string(digits) + " hex digits: \"" +
                         row.substr(0, 40) + "\"");
    for (int32_t b = 0; b < bytes_per_word; ++b) out.push_back(uint8_t(word >> (8 * b)));
  }
  return out;
}

json rendition_items(const ZT_Rendition_Data& d) {
  const ZT_Face_Attributes& f = *d.face;
  json user_pattern = {{"bits", f.user_pattern_bits},
                       {"width", f.user_pattern_width},
                       {"height", f.user_pattern_height},
                       {"row_bytes", f.user_pattern_row_bytes}};
  return {{"hard_clip", rectangle(d.hard_clip)},
          {"depth_test_active", d.depth_test_active != 0},
          {"current_color", color(d.current_color)},
          {"current_index", d.current_index},
          {"contrast_color", color(d.contrast_color)},
          {"contrast_index", d.contrast_index},
          {"rectangle_color", color(d.rectangle_color)},
          {"rectangle_index", d.rectangle_index},
          {"drawing_mode", d.drawing_mode},
          {"advanced_options", d.advanced_options},
          {"line_style", d.line_style},
          {"line_weight", d.line_weight},
          {"marker_style", d.marker_style},
          {"pattern_index", f.pattern_index},
          {"user_pattern", user_pattern},
          {"pattern_origin", int_pair(f.pattern_origin.x, f.pattern_origin.y)},
          {"pattern_flags", f.pattern_flags},
          {"depth_offset", f.depth_offset},
          {"material", material(f.material.get())},
          {"texture", texture(f.texture().get())},
          {"complex_clip", contours(d.complex_clip)},
          {"clip_offset", int_pair(d.clip_offset_x, d.clip_offset_y)},
          {"perspective", d.perspective},
          {"lighting", d.lighting},
          {"shading", d.shading}};
}

void apply_rendition_items(const json& items, ZT_Rendition& rendition) {
  if (!items.is_object()) fail("rendition items must be an object", items);
  for (auto it = items.begin(); it != items.end(); ++it) {
    const std::string& key = it.key();
    const json& v = it.value();
    const char* k = key.c_str();
    ZT_Rendition_Data* d = rendition.modify();
    if (key == "hard_clip") d->hard_clip = rectangle_from(v);
    else if (key == "depth_test_active") d->depth_test_active = bool_from(v, k) ? 1 : 0;
    else if (key == "current_color") d->current_color = color_from(v);
    else if (key == "current_index") d->current_index = byte_from(v, k);
    else if (key == "contrast_color") d->contrast_color = color_from(v);
    else if (key == "contrast_index") d->contrast_index = byte_from(v, k);
    else if (key == "rectangle_color") d->rectangle_color = color_from(v);
    else if (key == "rectangle_index") d->rectangle_index = byte_from(v, k);
    else if (key == "drawing_mode") d->drawing_mode = int_from(v, k);
    else if (key == "advanced_options") d->advanced_options = uint32_from(v, k);
    else if (key == "line_style") d->line_style = int_from(v, k);
    else if (key == "line_weight") d->line_weight = int_from(v, k);
    else if (key == "marker_style") d->marker_style = int_from(v, k);
    else if (key == "complex_clip") d->complex_clip = contours_from(v);
    else if (key == "clip_offset") read_int_pair(v, k, d->clip_offset_x, d->clip_offset_y);
    else if (key == "perspective") d->perspective = uint32_from(v, k);
    else if (key == "lighting") d->lighting = int_from(v, k);
    else if (key == "shading") d->shading = int_from(v, k);
    else {
      ZT_Face_Attributes* f = rendition.modify_face();
      if (key == "pattern_index") f->pattern_index = int_from(v, k);
      else if (key == "pattern_flags") f->pattern_flags = uint32_from(v, k);
      else if (key == "depth_offset") f->depth_offset = int_from(v, k);
      else if (key == "pattern_origin")
        read_int_pair(v, k, f->pattern_origin.x, f->pattern_origin.y);
      else if (key == "user_pattern") {
        const json& bits = member(v, "bits");
        if (!bits.is_array()) fail("user_pattern bits: a list of bytes expected", bits);
        f->user_pattern_bits.clear();
        for (const json& b : bits) f->user_pattern_bits.push_back(byte_from(b, "bits"));
        f->user_pattern_width = int_from(member(v, "width"), "user_pattern width");
        f->user_pattern_height = int_from(member(v, "height"), "user_pattern height");
        f->user_pattern_row_bytes = int_from(member(v, "row_bytes"), "user_pattern row_bytes");
        // No bits is the host's "no user pattern"; given bits must cover the pattern.
        if (!f->user_pattern_bits.empty() &&
            (f->user_pattern_width < 1 || f->user_pattern_height < 1 ||
             f->user_pattern_row_bytes < (int64_t(f->user_pattern_width) + 7) / 8 ||
             f->user_pattern_bits.size() <
                 std::size_t(f->user_pattern_row_bytes) * std::size_t(f->user_pattern_height)))
          fail("user_pattern: bits must hold height rows of row_bytes bytes, each covering "
               "width pixels",
               v);
      } else if (key == "texture") {
        // No texture on a face without a material needs no material.
        if (!v.is_null()) f->set_texture(texture_from(v));
        else if (f->material) f->set_texture(nullptr);
      } else if (key == "material") {
        apply_material(v, *f);
      } else {
        throw Format_Error("unknown rendition item \"" + key + "\"");
      }
    }
  }
}

json window(const ZT_Renderer_Options& o) {
  return {{"width", o.window_size().x},
          {"height", o.window_size().y},
          {"origin", int_pair(o.window_origin().x, o.window_origin().y)},
          {"local_coordinates", o.local_coordinates()}};
}

void apply_window(const json& j, ZT_Renderer_Options& o) {
  ZT_Int_Point size = o.window_size();
  if (j.contains("width")) size.x = int_from(j["width"], "window width");
  if (j.contains("height")) size.y = int_from(j["height"], "window height");
  if (!o.set_window_size(size))
    fail("window: sides from 0 to " + std::to_string(ZT_Largest_Window_Side) + " expected", j);
  if (j.contains("origin")) {
    ZT_Int_Point origin;
    read_int_pair(j["origin"], "window origin", origin.x, origin.y);
    o.set_window_origin(origin);
  }
  if (j.contains("local_coordinates"))
    o.set_local_coordinates(bool_from(j["local_coordinates"], "local_coordinates"));
}

json renderer_options(const ZT_Renderer_Options& o) {
  return {{"buffer_depth", o.buffer_depth()},
          {"color_system", o.color_system()},
          {"alpha_blending", o.alpha_blending()},
          {"palette", o.palette() ? palette(*o.palette()) : json(nullptr)}};
}

void apply_renderer_options(const json& j, ZT_Renderer_Options& o) {
  if (j.contains("buffer_depth")) o.set_buffer_depth(int_from(j["buffer_depth"], "buffer_depth"));
  if (j.contains("color_system")) o.set_color_system(int_from(j["color_system"], "color_system"));
  if (j.contains("alpha_blending"))
    o.set_alpha_blending(bool_from(j["alpha_blending"], "alpha_blending"));
  if (j.contains("palette")) {
    ZT_Counted_Ptr<ZT_Palette> p;
    if (!j["palette"].is_null()) p = palette_from(j["palette"]);
    o.set_palette(p.get());
  }
}

json option_value(const ZT_Option_Value& v) {
  switch (v.kind()) {
  case ZT_Option_Value::Kind::Bool: return v.as_bool();
  case ZT_Option_Value::Kind::Int: return v.as_int();
  case ZT_Option_Value::Kind::Int3: {
    const int32_t* i = v.as_int3();
    return json::array({i[0], i[1], i[2]});
  }
  case ZT_Option_Value::Kind::Pointer: break;
  }
  return nullptr;
}

ZT_Option_Value option_value_from(const json& j, ZT_Option_Value::Kind kind, const char* name) {
  switch (kind) {
  case ZT_Option_Value::Kind::Bool: return ZT_Option_Value(bool_from(j, name));
  case ZT_Option_Value::Kind::Int: return ZT_Option_Value(int_from(j, name));
  case ZT_Option_Value::Kind::Int3:
    if (!j.is_array() || j.size() != 3)
      fail(std::string("option \"") + name + "\": [a, b, c] was expected", j);
    return ZT_Option_Value(int_from(j[0], name), int_from(j[1], name), int_from(j[2], name));
  case ZT_Option_Value::Kind::Pointer: break;
  }
  throw Format_Error(std::string("option \"") + name + "\" holds an address and cannot be set "
                     "from a trace");
}

json named_options(const ZT_Option_Table& table) {
  json out = json::object();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const ZT_Option* o = table.at(i);
    if (!o->value() || o->value()->kind() == ZT_Option_Value::Kind::Pointer) continue;
    out[o->name().str()] = option_value(*o->value());
  }
  return out;
}

}  // namespace zd_trace
