// The Williamson–Hall figure of a whole pattern's lines: where its points,
// bars, labels and fitted lines land against its own axes, what it leaves
// out, and the SVG drawing the batch tool writes.
#include "app/views/williamson_hall_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

using platform_types::colour;
using platform_types::text_anchor;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Every call, in order, as plain data.
struct call {
  enum class kind { line, polyline, rectangle, ellipse, text } what;
  std::vector<int> xy;  // the points; a text's anchor point
  colour pen{};         // a text's colour for texts
  int pen_width = 0;
  std::string text;
  text_anchor anchor = text_anchor::start;
  int size = 0;
};

class drawing : public platform_types::surface {
 public:
  drawing(int width, int height) : width_(width), height_(height) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen(colour c, int width, platform_types::pen_style) override {
    pen_ = c;
    pen_width_ = width;
  }
  void set_fill(colour) override {}
  void set_text_colour(colour c) override { text_colour_ = c; }
  void fill_rect(int, int, int, int) override {}
  void line(int x1, int y1, int x2, int y2) override { add(call::kind::line, {x1, y1, x2, y2}); }
  void polyline(const std::vector<int>& xy) override { add(call::kind::polyline, xy); }
  void pixel(int, int, colour) override {}
  void rectangle(int x1, int y1, int x2, int y2) override { add(call::kind::rectangle, {x1, y1, x2, y2}); }
  void ellipse(int x1, int y1, int x2, int y2) override { add(call::kind::ellipse, {x1, y1, x2, y2}); }
  void text(int x, int y, const std::string& s) override { placed_text(x, y, s, text_anchor::start, 12); }
  void placed_text(int x, int y, const std::string& s, text_anchor anchor, int size) override {
    calls.push_back({call::kind::text, {x, y}, text_colour_, 0, s, anchor, size});
  }

  std::vector<call> calls;

 private:
  void add(call::kind k, std::vector<int> xy) { calls.push_back({k, std::move(xy), pen_, pen_width_, "", {}, 0}); }
  int width_, height_;
  colour pen_{}, text_colour_{};
  int pen_width_ = 1;
};

struct rect {
  double x1, y1, x2, y2;
  bool inside(const rect& o) const { return x1 >= o.x1 && x2 <= o.x2 && y1 >= o.y1 && y2 <= o.y2; }
  bool meets(const rect& o) const { return x1 < o.x2 && o.x1 < x2 && y1 < o.y2 && o.y1 < y2; }
  double cx() const { return (x1 + x2) / 2; }
  double cy() const { return (y1 + y2) / 2; }
};

// A text's extent, by the estimate a surface makes without a font (0.6 of
// the size a character): capitals up from the baseline, descenders below.
rect extent(const drawing& d, const call& t) {
  const double w = d.text_width(t.text, t.size);
  const double x1 = t.anchor == text_anchor::start    ? t.xy[0]
                    : t.anchor == text_anchor::middle ? t.xy[0] - w / 2
                                                      : t.xy[0] - w;
  return {x1, t.xy[1] - 0.8 * t.size, x1 + w, t.xy[1] + 0.2 * t.size};
}

// A figure read back from its calls: the frame (its inside pixels), the
// axes' mappings from their ticks, and what was drawn in each colour.
struct read_figure {
  rect plot{};  // the first and last pixel column and row inside the frame
  // value = a + b pixel, from the ticks' numbers and where they stand
  double xa = 0, xb = 0, ya = 0, yb = 0;
  std::vector<std::pair<int, double>> x_ticks, y_ticks;  // pixel, value
  std::vector<call> texts;

  double x_value(double px) const { return xa + xb * px; }
  double x_pixel(double v) const { return (v - xa) / xb; }
  double y_pixel(double v) const { return (v - ya) / yb; }
};

// Least squares through the ticks: their pixels are whole, so each is half a
// pixel off at most.
void straight(const std::vector<std::pair<int, double>>& ticks, double& a, double& b) {
  double n = 0, sp = 0, sv = 0, spp = 0, spv = 0;
  for (const auto& [p, v] : ticks) {
    n += 1;
    sp += p;
    sv += v;
    spp += 1.0 * p * p;
    spv += p * v;
  }
  b = (n * spv - sp * sv) / (n * spp - sp * sp);
  a = (sv - b * sp) / n;
}

read_figure read(const drawing& d) {
  read_figure f;
  const colour ink{0, 0, 0};
  bool framed = false;
  for (std::size_t i = 0; i < d.calls.size(); ++i) {
    const call& c = d.calls[i];
    if (c.what == call::kind::text) f.texts.push_back(c);
    if (c.what == call::kind::rectangle && c.pen == ink && !framed) {
      f.plot = {c.xy[0] + 1.0, c.xy[1] + 1.0, c.xy[2] - 1.0, c.xy[3] - 1.0};
      framed = true;
      continue;
    }
    // A tick is a short ink line out of the frame with its number after it.
    if (!framed || c.what != call::kind::line || !(c.pen == ink) || i + 1 >= d.calls.size()) continue;
    const call& number = d.calls[i + 1];
    if (number.what != call::kind::text) continue;
    if (c.xy[0] == c.xy[2] && c.xy[1] == f.plot.y2 + 1) f.x_ticks.push_back({c.xy[0], std::stod(number.text)});
    if (c.xy[1] == c.xy[3] && c.xy[2] == f.plot.x1 - 1) f.y_ticks.push_back({c.xy[1], std::stod(number.text)});
  }
  EXPECT_TRUE(framed) << "an ink rectangle frames the plot";
  if (f.x_ticks.size() >= 2) straight(f.x_ticks, f.xa, f.xb);
  if (f.y_ticks.size() >= 2) straight(f.y_ticks, f.ya, f.yb);
  return f;
}

// The centres of a series' markers: circles for the first, squares for the
// second.
std::vector<rect> markers(const drawing& d, call::kind shape, const colour* only = nullptr) {
  std::vector<rect> out;
  for (const call& c : d.calls)
    if (c.what == shape && !(c.pen == colour{0, 0, 0}) && (!only || c.pen == *only))
      out.push_back({1.0 * c.xy[0], 1.0 * c.xy[1], 1.0 * c.xy[2], 1.0 * c.xy[3]});
  return out;
}

colour colour_of_first(const drawing& d, call::kind shape) {
  for (const call& c : d.calls)
    if (c.what == shape && !(c.pen == colour{0, 0, 0})) return c.pen;
  return {};
}

const char* const hkl[] = {"110", "200", "211", "220", "310"};

// bcc iron, a = 2.8665 Å: d* = √(h² + k² + l²) / a, with the integral
// breadths β* of the measured export (1/Å) and Lorentzian ones below them.
williamson_hall_figure_data iron() {
  williamson_hall_figure_data d;
  d.title = "d8_fe_sample.csv: Williamson-Hall";
  williamson_hall_series beta{"integral breadth β*", {}, {1.49e-3, 3.12e-3, 2.37e-3, 2.66e-3, 3.83e-3},
                              {0.10e-3, 0.30e-3, 0.15e-3, 0.20e-3, 0.40e-3}, {}, true, 0.9e-3, 2.2e-3};
  williamson_hall_series lorentz{"Lorentzian β_L*", {}, {0.8e-3, 1.9e-3, 1.3e-3, 1.5e-3, 2.4e-3},
                                 {0.05e-3, nan, 0.10e-3, 0.12e-3, 0.2e-3}, {}, true, 0.4e-3, 1.5e-3};
  const int n2[] = {2, 4, 6, 8, 10};
  for (int i = 0; i < 5; ++i) {
    for (williamson_hall_series* s : {&beta, &lorentz}) {
      s->x.push_back(std::sqrt(n2[i]) / 2.8665);
      s->labels.push_back(hkl[i]);
    }
  }
  d.series = {beta, lorentz};
  return d;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(WilliamsonHallFigure, EachSeriesPointsSitInsideTheFrameWithTheirLabelsBesideThemAndTheTitleAbove) {
  drawing d(640, 400);
  const williamson_hall_figure_data data = iron();
  draw_williamson_hall(d, data);
  const read_figure f = read(d);
  const std::vector<rect> circles = markers(d, call::kind::ellipse), squares = markers(d, call::kind::rectangle);
  ASSERT_EQ(circles.size(), 5u + 1u) << "five points and the legend's marker";
  ASSERT_EQ(squares.size(), 5u + 1u);
  EXPECT_FALSE(colour_of_first(d, call::kind::ellipse) == colour_of_first(d, call::kind::rectangle))
      << "each series in its own colour";
  for (const std::vector<rect>* series : {&circles, &squares})
    for (std::size_t i = 0; i < 5; ++i) {
      const rect& m = (*series)[i];
      EXPECT_TRUE(m.inside(f.plot)) << "marker " << i << " at " << m.cx() << "," << m.cy();
      EXPECT_NEAR(m.cx(), f.x_pixel(data.series[0].x[i]), 1.0) << hkl[i];
    }

  // Both series label their points; each label inside the plot, touching
  // no other and standing within a few pixels of a marker of its line.
  std::vector<rect> label_boxes;
  for (const call& t : f.texts) {
    const auto at = std::find(std::begin(hkl), std::end(hkl), t.text);
    if (at == std::end(hkl)) continue;
    const std::size_t i = static_cast<std::size_t>(at - std::begin(hkl));
    const rect b = extent(d, t);
    EXPECT_TRUE(b.inside(f.plot)) << t.text;
    const auto near = [&](const rect& m) {
      return std::max({m.x1 - b.x2, b.x1 - m.x2, m.y1 - b.y2, b.y1 - m.y2}) <= 10.0;
    };
    EXPECT_TRUE(near(circles[i]) || near(squares[i])) << t.text << " stands beside its point";
    for (const rect& other : label_boxes) EXPECT_FALSE(b.meets(other)) << t.text;
    label_boxes.push_back(b);
  }
  EXPECT_EQ(label_boxes.size(), 10u);

  const auto title = std::find_if(f.texts.begin(), f.texts.end(), [&](const call& t) { return t.text == data.title; });
  ASSERT_NE(title, f.texts.end());
  EXPECT_EQ(title->anchor, text_anchor::middle);
  EXPECT_EQ(title->xy[0], 320);
  EXPECT_LT(extent(d, *title).y2, f.plot.y1 - 12) << "the title above the y caption";
}

TEST(WilliamsonHallFigure, TheXAxisBeginsAtZeroAndEachFittedLineRunsFromThereToTheRightEdge) {
  drawing d(640, 400);
  const williamson_hall_figure_data data = iron();
  draw_williamson_hall(d, data);
  const read_figure f = read(d);
  ASSERT_GE(f.x_ticks.size(), 3u);
  ASSERT_GE(f.y_ticks.size(), 3u);
  EXPECT_EQ(f.x_ticks.front().second, 0.0);
  EXPECT_EQ(f.x_ticks.front().first, f.plot.x1) << "0 at the frame's left edge";
  EXPECT_EQ(f.y_ticks.front().second, 0.0);
  EXPECT_EQ(f.y_ticks.front().first, f.plot.y2) << "all the values are above 0, so y starts there";
  const double last_x = data.series[0].x.back();
  EXPECT_GT(f.x_value(f.plot.x2), last_x) << "the x axis runs past the last point";
  EXPECT_LT(f.x_value(f.plot.x2), last_x * 1.2) << "but only a little";

  for (const williamson_hall_series& s : data.series) {
    const colour c = s.name == data.series[0].name ? colour_of_first(d, call::kind::ellipse)
                                                   : colour_of_first(d, call::kind::rectangle);
    std::vector<call> long_lines;
    for (const call& l : d.calls)
      if (l.what == call::kind::line && l.pen == c && std::abs(l.xy[2] - l.xy[0]) > 100) long_lines.push_back(l);
    ASSERT_EQ(long_lines.size(), 1u) << s.name;
    const call& l = long_lines.front();
    EXPECT_EQ(l.xy[0], f.plot.x1) << s.name;
    EXPECT_EQ(l.xy[2], f.plot.x2) << s.name;
    EXPECT_NEAR(l.xy[1], f.y_pixel(s.intercept), 1.0) << s.name << " meets x = 0 at its intercept";
    EXPECT_NEAR(l.xy[3], f.y_pixel(s.intercept + s.slope * f.x_value(f.plot.x2)), 1.0) << s.name;
  }
}

TEST(WilliamsonHallFigure, ErrorBarsSpanTwoStandardUncertaintiesOnTheYAxis) {
  drawing d(640, 400);
  const williamson_hall_figure_data data = iron();
  draw_williamson_hall(d, data);
  const read_figure f = read(d);
  for (const auto& [shape, k] : {std::pair{call::kind::ellipse, 0}, std::pair{call::kind::rectangle, 1}}) {
    const williamson_hall_series& s = data.series[static_cast<std::size_t>(k)];
    const colour c = colour_of_first(d, shape);
    const std::vector<rect> points = markers(d, shape, &c);
    for (std::size_t i = 0; i < 5; ++i) {
      std::vector<call> bars;
      for (const call& l : d.calls)
        if (l.what == call::kind::line && l.pen == c && l.xy[0] == l.xy[2] && std::abs(l.xy[0] - points[i].cx()) < 1)
          bars.push_back(l);
      if (std::isnan(s.sigma[i])) {
        EXPECT_TRUE(bars.empty()) << s.name << " " << hkl[i] << ": no bar without an uncertainty";
        continue;
      }
      ASSERT_EQ(bars.size(), 1u) << s.name << " " << hkl[i];
      const double top = std::min(bars[0].xy[1], bars[0].xy[3]), bottom = std::max(bars[0].xy[1], bars[0].xy[3]);
      EXPECT_NEAR(top, f.y_pixel(s.y[i] + s.sigma[i]), 1.0) << s.name << " " << hkl[i];
      EXPECT_NEAR(bottom, f.y_pixel(s.y[i] - s.sigma[i]), 1.0) << s.name << " " << hkl[i];
    }
  }
}

TEST(WilliamsonHallFigure, WhatCannotBeDrawnIsLeftOutAndNoNumberReadsNan) {
  const struct {
    const char* name;
    williamson_hall_series series;
    std::size_t points;  // the markers drawn
    std::size_t bars;
    std::size_t labels;
    bool line;
    bool in_legend;
  } rows[] = {
      {"a point with a NaN y is skipped with its label",
       {"β*", {0.5, 0.7, 0.9}, {1e-3, nan, 2e-3}, {1e-4, 1e-4, 1e-4}, {"110", "200", "211"}, true, 5e-4, 2e-3},
       2, 2, 2, true, true},
      {"an infinite x is skipped",
       {"β*", {0.5, inf, 0.9}, {1e-3, 2e-3, 2e-3}, {}, {"110", "200", "211"}, false, 0, 0}, 2, 0, 2, false, true},
      {"a NaN or negative sigma draws the point without a bar",
       {"β*", {0.5, 0.7, 0.9}, {1e-3, 2e-3, 2e-3}, {nan, -1e-4, inf}, {"110", "200", "211"}, false, 0, 0}, 3, 0, 3,
       false, true},
      {"a fitted line with a NaN slope is not drawn",
       {"β*", {0.5, 0.7}, {1e-3, 2e-3}, {}, {"110", "200"}, true, 1e-3, nan}, 2, 0, 2, false, true},
      {"fewer labels than points leave the rest unlabelled",
       {"β*", {0.5, 0.7}, {1e-3, 2e-3}, {}, {"110"}, false, 0, 0}, 2, 0, 1, false, true},
      {"a series of NaN points is neither drawn nor in the legend",
       {"β_L*", {nan, nan}, {nan, 1e-3}, {}, {"110", "200"}, true, 1e-3, 1e-3}, 0, 0, 0, false, false},
      {"values far beyond any pattern's still fit the frame",
       {"β*", {1e307, 1.7e308}, {-1.7e308, 1.7e308}, {1e308, 1e307}, {"110", "200"}, true, 1e308, -1.0}, 2, 2, 2,
       true, true},
  };
  for (const auto& r : rows) {
    williamson_hall_figure_data data;
    data.series = {{"Gaussian β_G*²", {0.6}, {2e-3}, {}, {"111"}, false, 0, 0}, r.series};
    drawing d(500, 300);
    draw_williamson_hall(d, data);
    const read_figure f = read(d);
    const colour c = colour_of_first(d, call::kind::rectangle);
    std::size_t points = 0, bars = 0, lines = 0;
    for (const call& k : d.calls) {
      if (k.pen == colour{0, 0, 0} || k.what == call::kind::text) continue;
      if (k.what == call::kind::rectangle && k.xy[0] < f.plot.x2) {
        ++points;
        EXPECT_TRUE((rect{1.0 * k.xy[0], 1.0 * k.xy[1], 1.0 * k.xy[2], 1.0 * k.xy[3]}).inside(f.plot)) << r.name;
      }
      if (k.what == call::kind::line && k.pen == c && k.xy[0] == k.xy[2]) ++bars;
      if (k.what == call::kind::line && k.pen == c && k.xy[0] == f.plot.x1 && k.xy[2] == f.plot.x2) ++lines;
    }
    EXPECT_EQ(points, r.points) << r.name;
    EXPECT_EQ(bars, r.bars) << r.name;
    EXPECT_EQ(lines, r.line ? 1u : 0u) << r.name;
    std::vector<std::string> legend, labels;
    for (const call& t : f.texts) {
      if (t.xy[0] > f.plot.x2) legend.push_back(t.text);
      if (t.xy[0] > f.plot.x1 && t.xy[0] < f.plot.x2 && t.xy[1] > f.plot.y1 && t.xy[1] < f.plot.y2)
        labels.push_back(t.text);
    }
    std::vector<std::string> listed{"Gaussian β_G*²"};
    if (r.in_legend) listed.push_back(r.series.name);
    EXPECT_EQ(legend, listed) << r.name;
    EXPECT_EQ(labels.size(), 1 + r.labels) << r.name << ": 111 and the labels of the points drawn";
    const std::string svg = lower(williamson_hall_svg(data, 500, 300));
    EXPECT_EQ(svg.find("nan"), std::string::npos) << r.name;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << r.name;
  }
}

TEST(WilliamsonHallFigure, CrowdedPointsKeepTheirLabelsApartAndInsideThePlot) {
  williamson_hall_figure_data data;
  // Five lines within a few pixels of each other, two on top of each other
  // at the right edge, and one at the top.
  data.series = {{"β*",
                  {0.50, 0.51, 0.52, 0.50, 0.51, 1.0, 1.0, 0.7},
                  {1.0e-3, 1.02e-3, 0.99e-3, 1.05e-3, 0.97e-3, 2.0e-3, 2.02e-3, 2.1e-3},
                  {},
                  {"110", "101", "011", "222", "200", "400", "004", "321"},
                  true,
                  0.0,
                  2e-3}};
  drawing d(400, 300);
  draw_williamson_hall(d, data);
  const read_figure f = read(d);
  std::vector<rect> boxes;
  for (const call& t : f.texts) {
    const auto at = std::find(data.series[0].labels.begin(), data.series[0].labels.end(), t.text);
    if (at == data.series[0].labels.end()) continue;
    const std::size_t i = static_cast<std::size_t>(at - data.series[0].labels.begin());
    const rect b = extent(d, t);
    EXPECT_TRUE(b.inside(f.plot)) << t.text;
    for (const rect& other : boxes) EXPECT_FALSE(b.meets(other)) << t.text << " sits on another label";
    const double dx = b.cx() - f.x_pixel(data.series[0].x[i]), dy = b.cy() - f.y_pixel(data.series[0].y[i]);
    EXPECT_LT(std::hypot(dx, dy), 40.0) << t.text << " stays near its point";
    boxes.push_back(b);
  }
  EXPECT_EQ(boxes.size(), data.series[0].labels.size());
}

TEST(WilliamsonHallFigure, BelowZeroTheYAxisReachesALittleUnderTheLowestBarOrLineEnd) {
  const struct {
    const char* name;
    williamson_hall_series series;
    double lowest;
  } rows[] = {
      {"a bar below zero", {"β_G*²", {0.3, 0.6, 0.9}, {0.2e-6, 1e-6, 2e-6}, {0.5e-6, 0.1e-6, 0.1e-6}, {}, false, 0, 0},
       -0.3e-6},
      {"a point below zero", {"β_G*²", {0.3, 0.6, 0.9}, {-1e-6, 1e-6, 2e-6}, {}, {}, false, 0, 0}, -1e-6},
      {"a negative intercept",
       {"β_G*²", {0.3, 0.6, 0.9}, {0.5e-6, 1e-6, 2e-6}, {}, {}, true, -0.5e-6, 2.5e-6},
       -0.5e-6},
  };
  for (const auto& r : rows) {
    williamson_hall_figure_data data;
    data.series = {r.series};
    drawing d(500, 320);
    draw_williamson_hall(d, data);
    const read_figure f = read(d);
    ASSERT_GE(f.y_ticks.size(), 2u) << r.name;
    const double bottom = f.ya + f.yb * f.plot.y2, top = f.ya + f.yb * f.plot.y1;
    EXPECT_LT(bottom, r.lowest) << r.name;
    EXPECT_GT(bottom, r.lowest - 0.15 * (top - r.lowest)) << r.name << ": only a little";
    EXPECT_NE(std::find_if(f.y_ticks.begin(), f.y_ticks.end(), [](const auto& t) { return t.second == 0.0; }),
              f.y_ticks.end())
        << r.name << ": 0 is on the axis";
    EXPECT_EQ(f.x_ticks.front().first, f.plot.x1) << r.name;
    EXPECT_EQ(f.x_ticks.front().second, 0.0) << r.name;
  }
}

TEST(WilliamsonHallFigure, WithNothingToPlotTheFrameHoldsACentredNoteAndNoLegend) {
  const struct {
    const char* name;
    std::vector<williamson_hall_series> series;
  } rows[] = {
      {"no series", {}},
      {"a series without points", {{"β*", {}, {}, {}, {}, true, 1e-3, 1e-3}}},
      {"a series of NaN points", {{"β*", {nan, 0.5}, {1e-3, nan}, {1e-4, 1e-4}, {"110", "200"}, false, 0, 0}}},
  };
  for (const auto& r : rows) {
    williamson_hall_figure_data data;
    data.title = "empty.csv: Williamson-Hall";
    data.series = r.series;
    drawing d(400, 300);
    draw_williamson_hall(d, data);
    const read_figure f = read(d);
    EXPECT_TRUE(f.x_ticks.empty() && f.y_ticks.empty()) << r.name << ": no numbers for no range";
    std::vector<std::string> texts;
    for (const call& t : f.texts) {
      texts.push_back(t.text);
      if (t.text != "no lines to plot") continue;
      EXPECT_EQ(t.anchor, text_anchor::middle) << r.name;
      EXPECT_NEAR(t.xy[0], f.plot.cx(), 1.0) << r.name;
      EXPECT_NEAR(extent(d, t).cy(), f.plot.cy(), 3.0) << r.name;
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"d* (1/Å)", "empty.csv: Williamson-Hall", "no lines to plot",
                                               "β* (1/Å)"}))
        << r.name;
  }
}

TEST(WilliamsonHallFigure, TheSvgDrawingIsAWholeDocumentOfTheSizeAskedWithItsTextsEscaped) {
  williamson_hall_figure_data data = iron();
  data.title = "<fe> & co.csv: Williamson-Hall";
  const std::string svg = williamson_hall_svg(data, 640, 400);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("width=\"640\" height=\"400\""), std::string::npos);
  EXPECT_NE(svg.find(">&lt;fe&gt; &amp; co.csv: Williamson-Hall</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Lorentzian β_L*</text>"), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

}  // namespace
