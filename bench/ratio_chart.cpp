#include "bench/ratio_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace zdi::bench {
namespace {

// Layout, in SVG user units (pixels at 100 %). The width suits a README column; the height grows
// with the rows.
constexpr double kMinWidth = 900;
// The plot never gets narrower than this: long labels widen the chart instead.
constexpr double kMinPlot = 320;
constexpr double kCharWidth = 6.2; // mean advance of an 11 px sans-serif character, for layout only
constexpr double kAxisTitle = 26;  // left margin holding the rotated axis title
constexpr double kRight = 58;      // room for the value of the longest bar
constexpr double kTop = 78;        // title, subtitle, legend
constexpr double kBottom = 50;     // tick labels and axis title
constexpr double kHeading = 18;    // a workload's heading line
constexpr double kBar = 7, kBarGap = 1, kRowGap = 7;
constexpr double kHeadroom = 4; // the cap is this many times the median ratio

constexpr const char* kColours[] = {"#3a6fb0", "#e0862a", "#4a9a58", "#b4477a", "#6f62b0"};

std::string text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string text(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

std::string escaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&apos;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

std::string ratio_text(double r) {
  return r >= 100 ? text("%.0f", r) : r >= 10 ? text("%.1f", r) : text("%.2f", r);
}

std::string tick_text(double v) {
  return text("%g×", v);
}

struct Axis {
  double end = 2, step = 0.5;
};

Axis choose_axis(const Ratio_Chart& chart) {
  std::vector<double> medians;
  for (const auto& row : chart.rows)
    for (const auto& r : row.ratios)
      if (r) medians.push_back(r->median);
  if (medians.empty()) return {};
  const double top = *std::max_element(medians.begin(), medians.end());
  const double limit = std::max(2.0, std::min(top, kHeadroom * spread_of(medians).median));
  // About five ticks at 1, 2 or 5 times a power of ten.
  const double raw = limit / 5;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / decade;
  const double step = (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * decade;
  return {std::ceil(limit / step - 1e-9) * step, step};
}

size_t longest_label(const Ratio_Chart& chart) {
  size_t n = 0;
  for (const auto& row : chart.rows) n = std::max({n, row.path.size(), row.workload.size()});
  return n;
}

} // namespace

std::string ratio_chart_svg(const Ratio_Chart& chart) {
  const size_t variants = chart.variants.size();
  const Axis axis = choose_axis(chart);
  const double plot_x = kAxisTitle + double(longest_label(chart)) * kCharWidth + 10;
  const double width = std::max(kMinWidth, plot_x + kMinPlot + kRight);
  const double plot_w = width - plot_x - kRight;
  const double scale = plot_w / axis.end; // units per 1x
  auto x_of = [&](double ratio) { return plot_x + std::clamp(ratio, 0.0, axis.end) * scale; };

  const double band = double(std::max<size_t>(variants, 1)) * (kBar + kBarGap) - kBarGap;
  double plot_h = 0;
  for (size_t i = 0; i < chart.rows.size(); ++i) {
    if (i == 0 || chart.rows[i].workload != chart.rows[i - 1].workload) plot_h += kHeading;
    plot_h += band + kRowGap;
  }
  const double plot_y = kTop, plot_bottom = kTop + plot_h;
  const double height = plot_bottom + kBottom;

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += text("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
              "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"11\">\n",
              width, height, width, height);
  svg += "<title>Our speed as a multiple of each peer variant's</title>\n";
  svg += "<rect class=\"background\" width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  svg += "<text class=\"title\" x=\"12\" y=\"20\" font-size=\"15\" font-weight=\"bold\">"
         "Our speed as a multiple of each peer variant's</text>\n";
  svg += "<text class=\"subtitle\" x=\"12\" y=\"38\" fill=\"#555555\">Peer time ÷ our time, "
         "the median of the per-repetition pairs; whiskers span min–max. "
         "Bars past the axis are cut (white marks) and keep their value.</text>\n";

  // Legend.
  double lx = plot_x;
  for (size_t v = 0; v < variants; ++v) {
    svg += text("<rect class=\"legend\" x=\"%.1f\" y=\"52\" width=\"12\" height=\"10\" "
                "fill=\"%s\"/>",
                lx, kColours[v % std::size(kColours)]);
    const std::string name = "× " + chart.variants[v];
    svg += text("<text x=\"%.1f\" y=\"61\">", lx + 16) + escaped(name) + "</text>\n";
    lx += 16 + double(name.size()) * kCharWidth + 24;
  }

  // Grid, ticks and the 1x reference line, under the bars.
  const double axis_y = plot_bottom + 4;
  for (double t = 0; t <= axis.end + axis.step * 1e-6; t += axis.step) {
    const double x = x_of(t);
    svg += text("<line class=\"grid\" x1=\"%.2f\" y1=\"%.1f\" x2=\"%.2f\" y2=\"%.1f\" "
                "stroke=\"#e4e4e4\"/>",
                x, plot_y - 4, x, axis_y);
    svg +=
        text("<text class=\"tick\" x=\"%.2f\" y=\"%.1f\" text-anchor=\"middle\">", x, axis_y + 14) +
        escaped(tick_text(t)) + "</text>\n";
  }
  svg += text("<line class=\"axis\" x1=\"%.2f\" y1=\"%.1f\" x2=\"%.2f\" y2=\"%.1f\" "
              "stroke=\"#333333\"/>\n",
              plot_x, axis_y, plot_x + plot_w, axis_y);
  svg += text("<line class=\"axis\" x1=\"%.2f\" y1=\"%.1f\" x2=\"%.2f\" y2=\"%.1f\" "
              "stroke=\"#333333\"/>\n",
              plot_x, plot_y - 4, plot_x, axis_y);
  svg += text("<text class=\"axis-title\" x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">"
              "× peer: how many times faster ours ran (above 1×: ours is faster)</text>\n",
              plot_x + plot_w / 2, axis_y + 34);
  svg += text("<text class=\"axis-title\" transform=\"translate(14 %.1f) rotate(-90)\" "
              "text-anchor=\"middle\">workload, then our configuration and path</text>\n",
              (plot_y + plot_bottom) / 2);
  const double one = x_of(1);
  svg += text("<line class=\"reference\" x1=\"%.2f\" y1=\"%.1f\" x2=\"%.2f\" y2=\"%.1f\" "
              "stroke=\"#c02020\" stroke-dasharray=\"4 3\"/>",
              one, plot_y - 4, one, axis_y);
  svg += text("<text x=\"%.2f\" y=\"%.1f\" text-anchor=\"middle\" fill=\"#c02020\">1×</text>\n",
              one, plot_y - 7);

  double y = plot_y;
  for (size_t i = 0; i < chart.rows.size(); ++i) {
    const Ratio_Chart_Row& row = chart.rows[i];
    if (i == 0 || row.workload != chart.rows[i - 1].workload) {
      svg += text("<text class=\"heading\" x=\"%.1f\" y=\"%.1f\" font-weight=\"bold\">", kAxisTitle,
                  y + 13) +
             escaped(row.workload) + "</text>\n";
      y += kHeading;
    }
    svg += "<g class=\"row\">";
    svg += text("<text class=\"label\" x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">", plot_x - 6,
                y + band / 2 + 4) +
           escaped(row.path) + "</text>\n";
    for (size_t v = 0; v < variants && v < row.ratios.size(); ++v) {
      if (!row.ratios[v]) continue;
      const Spread& r = *row.ratios[v];
      const double top = y + double(v) * (kBar + kBarGap), mid = top + kBar / 2;
      const bool cut = r.median > axis.end;
      const double end = x_of(r.median);
      const std::string tip = row.workload + ", " + row.path + ": × " + chart.variants[v] + " " +
                              ratio_text(r.median) + " (" + ratio_text(r.min) + "–" +
                              ratio_text(r.max) + ")";
      svg += text("<rect class=\"%s\" x=\"%.2f\" y=\"%.1f\" width=\"%.2f\" height=\"%.1f\" "
                  "fill=\"%s\">",
                  cut ? "bar cut" : "bar", plot_x, top, end - plot_x, kBar,
                  kColours[v % std::size(kColours)]) +
             "<title>" + escaped(tip) + "</title></rect>";
      if (cut)
        svg += text("<path class=\"cut-mark\" d=\"M%.2f %.1fl3 %.1fM%.2f %.1fl3 %.1f\" "
                    "stroke=\"#ffffff\" stroke-width=\"1.5\"/>",
                    end - 10, top + kBar, -kBar, end - 6, top + kBar, -kBar);
      const double lo = x_of(r.min), hi = x_of(r.max);
      if (hi > lo)
        svg += text("<line class=\"whisker\" x1=\"%.2f\" y1=\"%.1f\" x2=\"%.2f\" y2=\"%.1f\" "
                    "stroke=\"#222222\"/>",
                    lo, mid, hi, mid);
      svg += text("<text class=\"value\" x=\"%.2f\" y=\"%.1f\" font-size=\"9\">",
                  std::max(end, hi) + 3, mid + 3) +
             escaped(ratio_text(r.median)) + "</text>\n";
    }
    svg += "</g>\n";
    y += band + kRowGap;
  }
  svg += "</svg>\n";
  return svg;
}

} // namespace zdi::bench
