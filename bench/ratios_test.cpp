// Per-repetition ratios, and the chart that shows them read back through an XML parser.
#include "bench/pair_ratios.h"
#include "bench/ratio_chart.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace zdi::bench {
namespace {

TEST(PairRatios, ASlowPhaseOnBothSidesOfAPairCancels) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> slowdown(1.0, 4.0);
  std::vector<double> ours, peer;
  for (int k = 0; k < 9; ++k) {
    const double f = slowdown(rng); // the machine's speed during repetition k
    ours.push_back(0.010 * f);
    peer.push_back(0.035 * f);
  }
  const Spread r = spread_of(pair_ratios(peer, ours));
  EXPECT_NEAR(r.min, 3.5, 1e-9);
  EXPECT_NEAR(r.max, 3.5, 1e-9);
}

TEST(PairRatios, OnlyRepetitionsBothSidesCompletedArePaired) {
  const std::vector<double> ours = {1, 2, 4, 8}, peer = {3, 4}; // the peer stopped after two
  EXPECT_EQ(pair_ratios(peer, ours), (std::vector<double>{3, 2}));
  EXPECT_EQ(pair_ratios(ours, {}).size(), 0u);
  const Spread s = spread_of({5, 1, 4, 2});
  EXPECT_EQ(s.median, 3); // an even count: the mean of the middle two
  EXPECT_EQ(s.min, 1);
  EXPECT_EQ(s.max, 5);
}

// Just enough of the document to check it: every element with its attributes and text.
struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;
  int parent = -1;
  bool has(const std::string& cls) const {
    auto it = attributes.find("class");
    if (it == attributes.end()) return false;
    const std::string padded = " " + it->second + " ";
    return padded.find(" " + cls + " ") != std::string::npos;
  }
  double number(const std::string& key) const { return std::stod(attributes.at(key)); }
};

struct Document {
  std::vector<Element> elements;
  std::vector<int> open;
  std::vector<const Element*> with_class(const std::string& name, const std::string& cls) const {
    std::vector<const Element*> found;
    for (const Element& e : elements)
      if (e.name == name && e.has(cls)) found.push_back(&e);
    return found;
  }
  const Element* child(const Element& parent, const std::string& name) const {
    const int index = int(&parent - elements.data());
    for (const Element& e : elements)
      if (e.parent == index && e.name == name) return &e;
    return nullptr;
  }
};

// Fails the test unless `svg` is well-formed XML.
Document parse(const std::string& svg) {
  Document doc;
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &doc);
  XML_SetElementHandler(
      parser,
      [](void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& d = *static_cast<Document*>(data);
        Element e{name, {}, {}, d.open.empty() ? -1 : d.open.back()};
        for (int i = 0; attributes[i]; i += 2) e.attributes[attributes[i]] = attributes[i + 1];
        d.open.push_back(int(d.elements.size()));
        d.elements.push_back(std::move(e));
      },
      [](void* data, const XML_Char*) { static_cast<Document*>(data)->open.pop_back(); });
  XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* s, int len) {
    auto& d = *static_cast<Document*>(data);
    if (!d.open.empty()) d.elements[size_t(d.open.back())].text.append(s, size_t(len));
  });
  const bool ok = XML_Parse(parser, svg.data(), int(svg.size()), 1) == XML_STATUS_OK;
  EXPECT_TRUE(ok) << XML_ErrorString(XML_GetErrorCode(parser)) << " at line "
                  << XML_GetCurrentLineNumber(parser);
  XML_ParserFree(parser);
  return doc;
}

Spread exactly(double r) {
  return {r, r, r};
}

Ratio_Chart sample_chart() {
  Ratio_Chart c{{"llvmpipe-1t", "llvmpipe-mt", "softpipe"}, {}};
  c.rows.push_back({"T_small_flat", "F: one call per triangle", {exactly(4), exactly(2.25), {}}});
  c.rows.push_back({"T_small_flat", "D: one call per triangle", {exactly(2.5), exactly(1.5), {}}});
  c.rows.push_back({"T_strip", "F: one strip", {Spread{2, 1.5, 3}, exactly(1), exactly(6)}});
  c.rows.push_back({"L_lines", "F: polyline", {exactly(0.5), {}, exactly(3.25)}});
  return c;
}

TEST(RatioChart, OneBarPerRatioInItsVariantsColourWithoutOverlap) {
  const Ratio_Chart chart = sample_chart();
  const Document doc = parse(ratio_chart_svg(chart));
  ASSERT_FALSE(doc.elements.empty());
  EXPECT_EQ(doc.elements[0].name, "svg");
  EXPECT_EQ(doc.elements[0].attributes.at("xmlns"), "http://www.w3.org/2000/svg");

  std::vector<std::string> legend_fill;
  for (const Element* e : doc.with_class("rect", "legend"))
    legend_fill.push_back(e->attributes.at("fill"));
  ASSERT_EQ(legend_fill.size(), chart.variants.size());
  std::vector<std::string> expected_fill;
  for (const auto& row : chart.rows)
    for (size_t v = 0; v < row.ratios.size(); ++v)
      if (row.ratios[v]) expected_fill.push_back(legend_fill[v]);

  const auto bars = doc.with_class("rect", "bar");
  ASSERT_EQ(bars.size(), expected_fill.size());
  for (size_t i = 0; i < bars.size(); ++i) {
    EXPECT_EQ(bars[i]->attributes.at("fill"), expected_fill[i]) << i;
    if (i > 0) {
      EXPECT_GE(bars[i]->number("y"), bars[i - 1]->number("y") + bars[i - 1]->number("height"));
    }
  }
  EXPECT_EQ(doc.with_class("text", "heading").size(), 3u); // one per workload, not per row
  EXPECT_EQ(doc.with_class("text", "label").size(), chart.rows.size());
  EXPECT_EQ(doc.with_class("line", "whisker").size(), 1u); // only the strip's 1t ratio spreads
  EXPECT_EQ(doc.with_class("line", "reference").size(), 1u);

  const Document empty = parse(ratio_chart_svg({{"llvmpipe-1t"}, {}}));
  EXPECT_TRUE(empty.with_class("rect", "bar").empty());
}

TEST(RatioChart, BarLengthsAreProportionalAndOneTimesMeetsTheReferenceLine) {
  const Ratio_Chart chart = sample_chart();
  const Document doc = parse(ratio_chart_svg(chart));
  std::vector<double> medians;
  for (const auto& row : chart.rows)
    for (const auto& r : row.ratios)
      if (r) medians.push_back(r->median);
  const auto bars = doc.with_class("rect", "bar");
  ASSERT_EQ(bars.size(), medians.size());
  const double origin = bars[0]->number("x");
  const double per_unit = bars[0]->number("width") / medians[0];
  const double reference = doc.with_class("line", "reference")[0]->number("x1");
  for (size_t i = 0; i < bars.size(); ++i) {
    EXPECT_FALSE(bars[i]->has("cut"));
    EXPECT_DOUBLE_EQ(bars[i]->number("x"), origin);
    EXPECT_NEAR(bars[i]->number("width"), per_unit * medians[i], 0.02) << i;
    if (medians[i] == 1) {
      EXPECT_NEAR(origin + bars[i]->number("width"), reference, 0.02);
    }
  }
  const auto axis = doc.with_class("line", "axis");
  ASSERT_FALSE(axis.empty());
  const double axis_end = axis[0]->number("x2");
  for (const Element* b : bars) EXPECT_LE(b->number("x") + b->number("width"), axis_end + 0.01);
}

TEST(RatioChart, AFarOutlierIsCutAtTheAxisEndAndKeepsItsValue) {
  Ratio_Chart chart = sample_chart();
  chart.rows.push_back({"P_points", "F: polymarker", {exactly(67), exactly(33.3), {}}});
  const Document doc = parse(ratio_chart_svg(chart));
  const auto bars = doc.with_class("rect", "bar");
  const auto axis = doc.with_class("line", "axis")[0];
  const double axis_length = axis->number("x2") - axis->number("x1");
  const Element& outlier = *bars[bars.size() - 2];
  EXPECT_TRUE(outlier.has("cut"));
  EXPECT_NEAR(outlier.number("width"), axis_length, 0.02);
  // The rest stay proportional, and the outlier did not squash them: 4x is well visible.
  EXPECT_FALSE(bars[0]->has("cut"));
  EXPECT_GT(bars[0]->number("width"), axis_length / 5);
  bool value_shown = false;
  for (const Element* t : doc.with_class("text", "value")) value_shown |= t->text == "67.0";
  EXPECT_TRUE(value_shown);
}

TEST(RatioChart, LabelsAreEscaped) {
  const std::string workload = "W<&>\"'", path = "F: \"a\" & 'b' <c>", variant = "v&<w>";
  const Ratio_Chart chart{{variant}, {{workload, path, {exactly(2)}}}};
  const Document doc = parse(ratio_chart_svg(chart));
  EXPECT_EQ(doc.with_class("text", "heading").at(0)->text, workload);
  EXPECT_EQ(doc.with_class("text", "label").at(0)->text, path);
  const Element* tip = doc.child(*doc.with_class("rect", "bar").at(0), "title");
  ASSERT_NE(tip, nullptr);
  EXPECT_NE(tip->text.find(path), std::string::npos) << tip->text;
  EXPECT_NE(tip->text.find(variant), std::string::npos) << tip->text;
  bool legend = false;
  for (const Element& e : doc.elements) legend |= e.name == "text" && e.text == "× " + variant;
  EXPECT_TRUE(legend);
}

} // namespace
} // namespace zdi::bench
