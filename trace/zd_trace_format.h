// The JSON form of host values in a trace: colours, points, rectangles, hex rows
// of pixels, the rendition's items by role, the window and renderer options and
// named option values.  The recorder writes these forms and the replayer reads
// them, so both agree on one definition.  docs/trace-format.md describes them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/zd_renderer_control.h"
#include "host/zt_basics.h"
#include "host/zt_options.h"
#include "host/zt_palette.h"
#include "host/zt_renderer_data.h"
#include "host/zt_rendition.h"

namespace zd_trace {

// Keys stay in the order they were written: traces read top to bottom.
using json = nlohmann::ordered_json;

// A trace that cannot be read: the message says what and where.
struct Format_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Colours are hex words "AARRGGBB" (as a dump shows them); "RRGGBB" means alpha
// FF.  Integers are accepted as the word itself.
json color(ZT_RGB32 c);
ZT_RGB32 color_from(const json& j);

// Points are [x, y, z]; a missing z is 0.
json point(const ZT_Point& p);
json point(const ZT_DCI_Point& p);
json point(const ZT_Point_D& p);
void point_from(const json& j, ZT_Point& p);
void point_from(const json& j, ZT_DCI_Point& p);
void point_from(const json& j, ZT_Point_D& p);

// Rectangles are [left, right, bottom, top], inclusive, y growing upward.
json rectangle(const ZT_Int_Rectangle& r);
ZT_Int_Rectangle rectangle_from(const json& j);

// Checked reads: a value outside the type is refused, never wrapped; a clear
// message names the key and what was expected.
int32_t int_from(const json& j, const char* what);
uint32_t uint32_from(const json& j, const char* what);
uint8_t byte_from(const json& j, const char* what);
bool bool_from(const json& j, const char* what);
const json& member(const json& object, const char* key);  // throws when missing

// Pixel rows as text: words of bytes_per_word bytes (1, 2 or 4), each written as
// that many hex digit pairs, most significant first, separated by spaces.
std::string hex_row(const uint8_t* bytes, int32_t words, int32_t bytes_per_word);
// Reads such a row into words little-endian; returns the number of words.
std::vector<uint8_t> bytes_from_hex_row(const std::string& row, int32_t bytes_per_word);

// Every rendition item by role, as one object; apply_rendition_items sets the
// items an object names and leaves the others as they are.
json rendition_items(const ZT_Rendition_Data& d);
void apply_rendition_items(const json& items, ZT_Rendition& rendition);

// The window: {"width", "height", "origin": [x, y], "local_coordinates"}.
json window(const ZT_Renderer_Options& o);
void apply_window(const json& j, ZT_Renderer_Options& o);
// {"buffer_depth", "color_system", "alpha_blending", "palette"}; a palette made by
// ZT_Palette::with_color_cube is written as its cube, any other by its colours.
json renderer_options(const ZT_Renderer_Options& o);
void apply_renderer_options(const json& j, ZT_Renderer_Options& o);

// Named option values: bool, int, or [a, b, c]; pointer values have no form (null).
json option_value(const ZT_Option_Value& v);
ZT_Option_Value option_value_from(const json& j, ZT_Option_Value::Kind kind, const char* name);
// Every option of the table that has a form, by name.
json named_options(const ZT_Option_Table& table);

// The two option names whose values are the renderer's depth setters.
inline constexpr const char* zbuffer_write = ZD_ZBuffer_Write_Option;
inline constexpr const char* zbuffer_test = ZD_ZBuffer_Test_Option;

}  // namespace zd_trace
