// The trace's JSON forms: every slot's arguments and every rendition item read
// back to exactly what was written (seeded random values, all slots), pixel rows
// and colours in their text forms, and bad traces stopped with a message that
// names the call.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "tools/trace_replay.h"
#include "trace/zd_trace_arguments.h"

using zd_trace::json;

namespace {

struct Random {
  std::mt19937 engine;
  explicit Random(uint32_t seed) : engine(seed) {}
  int32_t integer(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(engine);
  }
  // Quarters: exact in float, double and decimal text.
  double quarter() { return integer(-40000, 40000) / 4.0; }
  json color() { return zd_trace::color(ZT_RGB32::from_word(uint32_t(integer(INT32_MIN, INT32_MAX)))); }
};

bool has(const std::string& name, const char* part) { return name.find(part) != name.npos; }

json point(Random& r, const std::string& slot) {
  if (has(slot, "_2di_") || has(slot, "_dci_"))
    return json::array({r.integer(-5000, 5000), r.integer(-5000, 5000), r.integer(0, 65535)});
  return json::array({r.quarter(), r.quarter(), r.quarter()});
}

json rows(Random& r, int32_t count, int32_t words, int32_t bpp) {
  json out = json::array();
  for (int32_t k = 0; k < count; ++k) {
    std::vector<uint8_t> bytes(std::size_t(words * bpp));
    for (uint8_t& b : bytes) b = uint8_t(r.integer(0, 255));
    out.push_back(zd_trace::hex_row(bytes.data(), words, bpp));
  }
  return out;
}

// A call of the slot in the form the recorder writes: every member, in order.
json random_call(Random& r, ZT_Slot s) {
  const std::string slot = ZT_slot_name(s);
  if (slot == "span_dc_rectangle" || slot == "clear_depth_buffer") return json::object();
  if (slot == "draw_dci_dot") return {{"point", point(r, slot)}, {"color", r.color()}};
  if (has(slot, "image")) {
    const int32_t w = r.integer(1, 4), h = r.integer(1, 3), x = r.integer(-9, 9),
                  y = r.integer(-9, 9);
    json c = {{"start", json::array({x, y + h - 1, r.integer(0, 9)})},
              {"end", json::array({x + w - 1, y, r.integer(0, 9)})}};
    if (has(slot, "get_")) {
      c["format"] = r.integer(0, 7);
      return c;
    }
    const int32_t bpp = has(slot, "rgb32") ? 4 : has(slot, "depth") ? 2 : 1;
    c["row_bytes"] = w * bpp + r.integer(0, 3) * bpp;
    c[bpp == 2 ? "depths" : "pixels"] = rows(r, h, w, bpp);
    if (bpp == 4) {
      c["extra"] = r.integer(-3, 3);
      c["packing"] = r.integer(0, 1) ? json(r.integer(0, 9)) : json(nullptr);
    }
    return c;
  }
  const int32_t n = r.integer(3, 7);
  json points = json::array();
  for (int32_t i = 0; i < n; ++i) points.push_back(point(r, slot));
  json c = {{"count", n}, {"points", points}};
  const bool single = has(slot, "colorized") && r.integer(0, 1);
  const int32_t colors = zd_trace::colors_in_call(s, n, single);
  const bool no_colors = (has(slot, "polygon") || has(slot, "textured")) && r.integer(0, 1);
  if (has(slot, "colorized") || has(slot, "gouraud") || has(slot, "polygon") ||
      has(slot, "textured")) {
    json list = json::array();
    for (int32_t i = 0; i < colors; ++i) list.push_back(r.color());
    c["colors"] = no_colors ? json(nullptr) : list;
  }
  if (has(slot, "colorized")) c["single"] = single;
  if (has(slot, "textured")) {
    const int32_t width = r.integer(1, 2);
    json params = json::array(), w = json::array(), normals = json::array();
    for (int32_t i = 0; i < n * width; ++i)
      params.push_back(json::array({r.quarter(), r.quarter(), r.quarter()}));
    for (int32_t i = 0; i < n; ++i) {
      w.push_back(r.quarter());
      normals.push_back(json::array({r.quarter(), r.quarter(), r.quarter()}));
    }
    c["parameters"] = params;
    c["parameter_width"] = width;
    c["w"] = r.integer(0, 1) ? w : json(nullptr);
    c["normals"] = r.integer(0, 1) ? normals : json(nullptr);
  }
  return c;
}

template <ZT_Slot S>
json decoded_and_encoded_again(const json& call) {
  using Arguments = zd_trace::Action_Arguments<typename ZT_Slot_Traits<S>::Function>;
  auto values = Arguments::decode(S, call);
  return std::apply([](auto... a) { return Arguments::encode(S, a...); }, values.args());
}

TEST(TraceForms, EverySlotsArgumentsReadBackToWhatWasWritten) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Random r(seed);
#define CHECK_SLOT(name, fn, standard)                                                          \
  {                                                                                             \
    const json call = random_call(r, ZT_Slot::name);                                            \
    EXPECT_EQ(decoded_and_encoded_again<ZT_Slot::name>(call), call) << #name << " seed " << seed; \
  }
    ZT_ACTION_SLOTS(CHECK_SLOT)
#undef CHECK_SLOT
  }
}

json random_rendition_items(Random& r) {
  json bits = json::array();
  for (int i = 0; i < 8; ++i) bits.push_back(r.integer(0, 255));
  json clip = nullptr;
  if (r.integer(0, 1)) {
    clip = json::array({json::array({json::array({r.quarter(), r.quarter()}),
                                     json::array({r.quarter(), r.quarter()}),
                                     json::array({r.quarter(), r.quarter(), 1.5})})});
  }
  json texture = nullptr, material = nullptr;
  if (r.integer(0, 1)) {
    const int32_t width = 1 << r.integer(0, 2), height = 1 << r.integer(0, 2);
    json rows = json::array();
    for (int32_t y = 0; y < height; ++y) {
      std::vector<uint8_t> texels;
      for (int32_t x = 0; x < 4 * width; ++x) texels.push_back(uint8_t(r.integer(0, 255)));
      rows.push_back(zd_trace::hex_row(texels.data(), width, 4));
    }
    texture = {{"u_wrap", r.integer(0, 3)}, {"v_wrap", r.integer(0, 3)},
               {"fallback", bool(r.integer(0, 1))}, {"modulate", bool(r.integer(0, 1))},
               {"width", width}, {"height", height}, {"rows", rows}};
    auto levels = [&] { return json::array({r.quarter(), r.quarter(), r.quarter()}); };
    material = {{"ambient", levels()}, {"diffuse", levels()}, {"emission", levels()},
                {"light_direction", levels()}};
  }
  return {{"hard_clip", json::array({r.integer(-9, 0), r.integer(1, 99), r.integer(-9, 0),
                                     r.integer(1, 99)})},
          {"depth_test_active", bool(r.integer(0, 1))},
          {"current_color", r.color()},
          {"current_index", r.integer(0, 255)},
          {"contrast_color", r.color()},
          {"contrast_index", r.integer(0, 255)},
          {"rectangle_color", r.color()},
          {"rectangle_index", r.integer(0, 255)},
          {"drawing_mode", r.integer(0, 30)},
          {"advanced_options", r.integer(0, 63)},
          {"line_style", r.integer(0, 3)},
          {"line_weight", r.integer(0, 3)},
          {"marker_style", r.integer(0, 3)},
          {"pattern_index", r.integer(0, 80)},
          {"user_pattern", {{"bits", bits}, {"width", 8}, {"height", 8}, {"row_bytes", 1}}},
          {"pattern_origin", json::array({r.integer(-9, 9), r.integer(-9, 9)})},
          {"pattern_flags", r.integer(0, 3)},
          {"depth_offset", r.integer(-99, 99)},
          {"material", material},
          {"texture", texture},
          {"complex_clip", clip},
          {"clip_offset", json::array({r.integer(-9, 9), r.integer(-9, 9)})},
          {"perspective", r.integer(0, 1)},
          {"lighting", r.integer(0, 1)},
          {"shading", r.integer(0, 3)}};
}

TEST(TraceForms, EveryRenditionItemReadsBackAndOthersStayAsTheyWere) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Random r(seed);
    const json items = random_rendition_items(r);
    ZT_Rendition rendition;
    zd_trace::apply_rendition_items(items, rendition);
    EXPECT_EQ(zd_trace::rendition_items(*rendition), items) << "seed " << seed;
    // Setting one item changes that item only.
    json one = {{"line_weight", 7}};
    zd_trace::apply_rendition_items(one, rendition);
    json expected = items;
    expected["line_weight"] = 7;
    EXPECT_EQ(zd_trace::rendition_items(*rendition), expected);
  }
}

TEST(TraceForms, PixelRowsAndColoursInText) {
  const uint8_t bytes[8] = {0x01, 0x02, 0x03, 0x04, 0xA5, 0x5A, 0xFF, 0x00};
  EXPECT_EQ(zd_trace::hex_row(bytes, 2, 4), "04030201 00FF5AA5");
  EXPECT_EQ(zd_trace::hex_row(bytes, 4, 2), "0201 0403 5AA5 00FF");
  for (int32_t bpp : {1, 2, 4}) {
    const std::vector<uint8_t> back =
        zd_trace::bytes_from_hex_row(zd_trace::hex_row(bytes, 8 / bpp, bpp), bpp);
    EXPECT_EQ(back, std::vector<uint8_t>(bytes, bytes + 8)) << bpp;
  }
  EXPECT_THROW(zd_trace::bytes_from_hex_row("123", 1), zd_trace::Format_Error);
  EXPECT_THROW(zd_trace::bytes_from_hex_row("GG", 1), zd_trace::Format_Error);
  EXPECT_EQ(zd_trace::color_from("FF8000").word(), 0xFFFF8000u);
  EXPECT_EQ(zd_trace::color_from("#80ff8000").word(), 0x80FF8000u);
  EXPECT_EQ(zd_trace::color_from("0x00000001").word(), 1u);
  EXPECT_EQ(zd_trace::color_from(json(0x12345678)).word(), 0x12345678u);
  for (const char* bad : {"FF80", "red", "FF80001", ""})
    EXPECT_THROW(zd_trace::color_from(bad), zd_trace::Format_Error) << bad;
}

// Each bad trace stops the replay with a message naming the call and the fault.
TEST(Replay, BadTracesStopWithAMessageNamingTheCall) {
  const std::string header =
      R"("window": {"width": 4, "height": 3}, "renderer_options": {"buffer_depth": 16})";
  struct Case {
    const char* calls;
    const char* message;
  } cases[] = {
      {R"([{"call": "draw_everything"}])", "call 1 (\"draw_everything\"): unknown call"},
      {R"([{"call": "establish"}, {"call": "draw_dci_polyline", "count": 5, "points": [[0, 0]]}])",
       "call 2 (\"draw_dci_polyline\"): draw_dci_polyline: count 5 but only 1 points"},
      {R"([{"call": "draw_dci_colorized_polytriangle", "points": [[0,0],[1,0],[0,1],[1,1]],
            "colors": ["FF0000"]}])", "reads 2 colours, the trace gives 1"},
      {R"([{"call": "option", "name": "Favourite Colour", "value": 1}])", "no option \"Favourite Colour\""},
      {R"([{"call": "option", "name": "Use Mask", "value": [1, 2, 3]}])", "true or false"},
      {R"([{"call": "option", "name": "Mask Cache", "value": 1}])", "holds an address"},
      {R"([{"call": "set_buffers", "color": {"fill": "FF"}}])", "no colour buffer"},
      {R"([{"call": "establish"}, {"call": "set_buffers", "depth": {"rows": ["0000"]}}])",
       "the buffer has 3 rows, 1 are given"},
      {R"([{"call": "rendition", "set": {"hard_clip": [0, 1, 2]}}])", "[left, right, bottom, top]"},
      {R"([{"call": "rendition", "set": {"colour": "FF0000"}}])", "unknown rendition item \"colour\""},
      {R"([{"call": "draw_dci_rgb32_image", "start": [0, 1], "end": [1, 0], "row_bytes": 4,
            "pixels": ["FF000000 FF000000", "FF000000 FF000000"]}])", "shorter than a row"},
      {R"([{"call": "draw_dci_dot", "point": [0.5, 1]}])", "an integer was expected"},
      {R"([{"call": "rendition", "set": {"texture": {"width": 3, "height": 1,
            "rows": ["FF000000 FF000000 FF000000"]}}}])", "width and height must be powers of two"},
      {R"([{"call": "rendition", "set": {"texture": {"width": 2, "height": 1,
            "rows": ["FF000000"]}}}])", "each row holds width texel words"},
      {R"([42])", "a call must be an object"},
      // Slots that read colours, given none; integers outside their type.
      {R"([{"call": "draw_dci_gouraud_polytriangle", "points": [[0, 0], [4, 0], [0, 4]]}])",
       "this call reads 3 colours, the trace gives none"},
      {R"([{"call": "draw_2di_colorized_polyline", "points": [[0, 0], [4, 0]], "colors": null}])",
       "this call reads 1 colours, the trace gives none"},
      {R"([{"call": "draw_dci_dot", "point": [3000000000, 1]}])", "from -2147483648 to 2147483647"},
      {R"([{"call": "draw_dci_dot", "point": [18446744073709551615, 1]}])", "from -2147483648"},
      {R"([{"call": "rendition", "set": {"current_index": 256}}])", "from 0 to 255"},
      {R"([{"call": "rendition", "set": {"advanced_options": -1}}])", "from 0 to 4294967295"},
      {R"([{"call": "window", "width": 16385}])", "sides from 0 to 16384"},
      {R"([{"call": "renderer_options", "palette": {"colors": [], "count": 300}}])",
       "palette count: 1 to 256"},
      {R"([{"call": "renderer_options", "palette": {"color_cube": [65536, 65536, 2]}}])",
       "at most 256 colours"},
      {R"([{"call": "renderer_options", "palette": {"colors": [], "cube": {"levels": [2, 2, 2],
            "base": 0, "scales": [1, 99999, 1]}}}])", "scales from 0 to 256"},
  };
  const std::string path =
      (std::filesystem::temp_directory_path() / ("bad_" + std::to_string(::getpid()) + ".json"))
          .string();
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::trunc) << "{" << header << R"(, "calls": )" << c.calls << "}";
    Host_Session session(default_module_path());
    try {
      replay_trace(read_trace_file(path, nullptr), session, false);
      ADD_FAILURE() << c.calls << " was played";
    } catch (const zd_trace::Format_Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << e.what() << "\n  expected: " << c.message;
    }
  }
  // Calls are played as they are read: the header must come first.
  std::ofstream(path, std::ios::trunc) << R"({"calls": [], "window": {"width": 4}})";
  try {
    read_trace_file(path, nullptr);
    ADD_FAILURE() << "a header after the calls was read";
  } catch (const zd_trace::Format_Error& e) {
    EXPECT_NE(std::string(e.what()).find("\"window\" must come before \"calls\""), std::string::npos)
        << e.what();
  }
  // A number beyond a double's range is a message too (found by fuzzing).
  std::ofstream(path, std::ios::trunc) << R"({"calls": [11e11111]})";
  EXPECT_THROW(read_trace_file(path, nullptr), zd_trace::Format_Error);
  // Cut before its first whole call: nothing to keep, so not a trace.
  std::ofstream(path, std::ios::trunc) << "{ \"calls\": [ {\"call\": \"update\" ";
  EXPECT_THROW(read_trace_file(path, nullptr), zd_trace::Format_Error);
  EXPECT_THROW(read_trace_file("/nonexistent/trace.json", nullptr), zd_trace::Format_Error);
  std::remove(path.c_str());
}

}  // namespace
