// Figures of a graph view for a document: the ticks of their axes, the
// colours their curves take on white, the SVG they are written as, and
// File > Export Figure on the scripted platform.
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "view_bench.h"
#include "app/platform/svg_surface.h"
#include "app/views/axis_ticks.h"
#include "app/views/figure_export.h"
#include "app/views/paper_surface.h"

namespace {

using platform_types::colour;

std::string joined(const std::vector<std::string>& labels) {
  std::string out;
  for (const std::string& l : labels) out += (out.empty() ? "" : " ") + l;
  return out;
}

TEST(AxisTicks, PickOneTwoOrFiveTimesAPowerOfTenAndWriteTheLabelsCompactly) {
  const struct {
    const char* range;
    double lo, hi;
    int most;
    const char* labels;
  } rows[] = {
      {"0 to 100", 0, 100, 6, "0 20 40 60 80 100"},
      {"negative to positive", -3, 7, 6, "-2 0 2 4 6"},
      {"one line's 2 degrees", 25, 27, 10, "25.0 25.5 26.0 26.5 27.0"},
      {"across zero in tenths", -0.35, 0.35, 8, "-0.3 -0.2 -0.1 0 0.1 0.2 0.3"},
      {"0.0001 wide far from zero", 10, 10.0001, 6, "10.00000 10.00002 10.00004 10.00006 10.00008 10.00010"},
      {"up to a million", 0, 1e6, 6, "0 2e5 4e5 6e5 8e5 1e6"},
      {"tiny values", 1e-5, 9e-5, 5, "2e-5 4e-5 6e-5 8e-5"},
      {"a million and a half", 1.4e6, 1.62e6, 3, "1.4e6 1.5e6 1.6e6"},
      {"an empty range", 1, 1, 5, ""},
      {"a span beyond the largest double", -1e308, 1e308, 5, ""},
  };
  for (const auto& r : rows) {
    const axis_ticks t = axis_ticks::choose(r.lo, r.hi, r.most);
    EXPECT_EQ(joined(t.labels), r.labels) << r.range;
    EXPECT_LE(static_cast<int>(t.values.size()), r.most) << r.range;
    for (double v : t.values) EXPECT_TRUE(v >= r.lo - 1e-12 && v <= r.hi + 1e-12) << r.range << ": " << v;
  }
}

// WCAG 2's contrast of an sRGB colour with white.
double contrast_with_white(colour c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 1.05 / (0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b) + 0.05);
}

TEST(ReadableOnWhite, LightColoursAreDarkenedToAContrastOfThreeKeepingTheirHue) {
  const struct {
    const char* name;
    colour screen;
  } rows[] = {{"yellow", {255, 255, 0}}, {"cyan", {0, 255, 255}}, {"white", {255, 255, 255}},
              {"light blue", {128, 160, 255}}, {"pale pink", {255, 208, 208}}};
  for (const auto& r : rows) {
    const colour paper = readable_on_white(r.screen);
    EXPECT_GE(contrast_with_white(paper), 3.0) << r.name;
    EXPECT_LT(contrast_with_white(paper), 3.2) << r.name << " is not darker than it needs";
    // The same hue: every component scaled by one factor.
    const double k = static_cast<double>(std::max({paper.r, paper.g, paper.b})) /
                     std::max({r.screen.r, r.screen.g, r.screen.b});
    EXPECT_NEAR(paper.r, r.screen.r * k, 1.0) << r.name;
    EXPECT_NEAR(paper.g, r.screen.g * k, 1.0) << r.name;
    EXPECT_NEAR(paper.b, r.screen.b * k, 1.0) << r.name;
  }
  EXPECT_EQ(readable_on_white({0, 0, 160}), (colour{0, 0, 160})) << "a dark colour is kept";
}

TEST(SvgSurface, EscapesMarkupAndMalformedBytesButKeepsUnicode) {
  EXPECT_EQ(svg_surface::escaped("a&b <c> \"d\" 'e'.xdd"), "a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos;.xdd");
  EXPECT_EQ(svg_surface::escaped("2θ (Å)"), "2θ (Å)");
  EXPECT_EQ(svg_surface::escaped("bad\xff\x01name"), "bad\xEF\xBF\xBD\xEF\xBF\xBDname");
  svg_surface s(10, 10);
  s.set_pen({255, 0, 128}, 2, platform_types::pen_style::solid);
  s.line(0, -1, 9, 9);
  EXPECT_NE(s.document().find("<line x1=\"0.5\" y1=\"-0.5\" x2=\"9.5\" y2=\"9.5\" fill=\"none\" stroke=\"#ff0080\" "
                              "stroke-width=\"2\"/>"),
            std::string::npos)
      << s.document();
}

TEST(PaperSurface, MovesCurvesIntoThePlotClipsThemThereAndDarkensTheirColour) {
  recording_surface out(300, 200);
  paper_surface plot(out, 10, 20, 100, 50, 1.0);
  plot.set_pen({255, 255, 0}, 1, platform_types::pen_style::solid);
  // In from the left, across, then down out of the bottom; then a separate
  // run back in through the top.
  plot.polyline({-50, 25, 50, 25, 50, 200, 70, 200, 70, 10});
  plot.pixel(120, 10, {255, 255, 0});
  const colour ink = readable_on_white({255, 255, 0});
  const std::string pen = "pen " + std::to_string(ink.r) + " " + std::to_string(ink.g) + " 0 1 solid";
  EXPECT_EQ(out.calls(), (std::vector<std::string>{pen, "polyline 10 45 60 45 60 69", "polyline 80 69 80 30"}))
      << "a pixel outside the plot is dropped";
}

// The texts of an SVG drawing, with their place and anchor.
struct svg_text {
  int x, y;
  std::string anchor, text;
};

std::vector<svg_text> texts_of(const std::string& svg) {
  static const std::regex element(
      "<text x=\"(-?\\d+)\" y=\"(-?\\d+)\" font-size=\"\\d+\"(?: text-anchor=\"(\\w+)\")? fill=\"#[0-9a-f]{6}\">"
      "([^<]*)</text>");
  std::vector<svg_text> out;
  for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it)
    out.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), (*it)[3].str(), (*it)[4].str()});
  return out;
}

// Every point of the polylines stroked in a colour.
std::vector<std::pair<double, double>> points_in(const std::string& svg, colour c) {
  static const std::regex element("<polyline points=\"([^\"]*)\" fill=\"none\" stroke=\"(#[0-9a-f]{6})\"");
  std::vector<std::pair<double, double>> out;
  for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it) {
    if ((*it)[2] != svg_surface::hex(c)) continue;
    std::istringstream list((*it)[1].str());
    double x = 0, y = 0;
    char comma = 0;
    while (list >> x >> comma >> y) out.emplace_back(x, y);
  }
  return out;
}

// The numbers along an axis: evenly spaced by 1, 2 or 5 times a power of
// ten, the first and last within one step of the axis's limits.
void expect_ticks_span(const std::vector<svg_text>& ticks, double lo, double hi, const char* axis) {
  ASSERT_GE(ticks.size(), 2u) << axis;
  std::vector<double> v;
  for (const svg_text& t : ticks) v.push_back(std::stod(t.text));
  const double step = v[1] - v[0];
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6)
      << axis << " step " << step;
  for (std::size_t i = 1; i < v.size(); ++i) EXPECT_NEAR(v[i] - v[i - 1], step, step * 1e-6) << axis;
  EXPECT_TRUE(v.front() >= lo - 1e-9 && v.front() < lo + step) << axis << " starts at " << v.front();
  EXPECT_TRUE(v.back() <= hi + 1e-9 && v.back() > hi - step) << axis << " ends at " << v.back();
}

class Figure : public Views {
 protected:
  // File > Export Figure, answering its file dialog and its size dialog.
  void export_figure(const std::string& path, platform_types::figure_size size) {
    screen.queue_files({path});
    screen.queue_figure_size(size);
    screen.user_command(view_command::export_figure);
  }
};

TEST_F(Figure, AnExportedSvgHasAxesNumberedOverTheViewsLimitsALegendAndTheCurvesInThePlot) {
  TDrawView* v = open({peak("a&b.xdd"), peak("c.xdd", 20.0)});
  limits(v, 21.3, 38.9, -7.0, 130.0);
  const std::string path = (dir / "fig.svg").string();
  export_figure(path, {500, 320, 96});
  EXPECT_TRUE(screen.called("ask_figure_size 640 400 svg")) << "the view's size is proposed";
  const std::string svg = contents(path);
  ASSERT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"500\" height=\"320\""), std::string::npos);

  std::vector<svg_text> x_ticks, y_ticks, names;
  bool x_caption = false, y_caption = false;
  for (const svg_text& t : texts_of(svg)) {
    if (t.text == "2θ (deg)") x_caption = t.anchor == "middle";
    else if (t.text == "Intensity") y_caption = true;
    else if (t.anchor == "middle") x_ticks.push_back(t);
    else if (t.anchor == "end") y_ticks.push_back(t);
    else names.push_back(t);
  }
  EXPECT_TRUE(x_caption && y_caption);
  expect_ticks_span(x_ticks, 21.3, 38.9, "x");
  expect_ticks_span(y_ticks, -7.0, 130.0, "y");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].text, "a&amp;b.xdd observed");
  EXPECT_EQ(names[1].text, "c.xdd observed");

  // The plot's frame is the figure's one stroked rectangle.
  std::smatch frame;
  ASSERT_TRUE(std::regex_search(svg, frame,
                                std::regex("<rect x=\"([\\d.]+)\" y=\"([\\d.]+)\" width=\"(\\d+)\" height=\"(\\d+)\" "
                                           "fill=\"none\" stroke=\"#000000\"")));
  const double fx = std::stod(frame[1]), fy = std::stod(frame[2]);
  const double fw = std::stod(frame[3]), fh = std::stod(frame[4]);
  EXPECT_GT(names[0].x, fx + fw) << "the legend stands right of the plot";
  for (const colour screen_colour : {colour{255, 255, 0}, colour{0, 255, 255}}) {
    const std::vector<std::pair<double, double>> points = points_in(svg, readable_on_white(screen_colour));
    ASSERT_GT(points.size(), 10u) << "a curve in the darkened colour of its file";
    for (const auto& [x, y] : points) {
      EXPECT_TRUE(x > fx && x < fx + fw && y > fy && y < fy + fh) << x << "," << y << " is outside the plot";
    }
  }
  EXPECT_EQ(svg.find("stroke=\"#ffff00\""), std::string::npos) << "no yellow on white";
}

TEST_F(Figure, TheAxesAreCaptionedByTheFamiliesShown) {
  TDrawView* v = open({peak("a.xdd")});
  const struct {
    const char* shown;
    int command;  // 0: the observed profile, as the view opens
    bool wavelength;
    const char* x;
    const char* y;
  } rows[] = {
      {"the observed profile", 0, true, "2θ (deg)", "Intensity"},
      {"the inverse transform", 4252, true, "2θ (deg)", "Intensity"},
      {"the modulus against column lengths", 4248, true, "L (Å)", "Mod"},
      {"the real and imaginary parts", 4247, true, "L (Å)", "Re, Im"},
      {"the modulus against frequency", 4248, false, "f (1/deg)", "Mod"},
  };
  for (const auto& r : rows) {
    const int set = find(*v->files().front(), "lBamda")->set_text_with_limits(r.wavelength ? "1.5406" : "0");
    ASSERT_TRUE(set != 2 && set != 3) << r.shown;
    screen.user_command(view_command::show_all);
    if (r.command) screen.user_command(r.command);
    figure_export figure(*v);
    EXPECT_EQ(figure.x_caption(), r.x) << r.shown;
    EXPECT_EQ(figure.y_caption(), r.y) << r.shown;
    if (r.command) screen.user_command(r.command);
  }
}

TEST_F(Figure, ARefusedExportSaysWhyAndLeavesNoFile) {
  open({peak("a.xdd")});
  const struct {
    const char* name;
    bool asks_size;
    const char* message;
  } rows[] = {
      {"fig.jpg", false, "fig.jpg: Cannot write this file type; a figure is a PNG picture (.png) or an SVG"},
      {"missing/fig.svg", true, "missing/fig.svg: Cannot write file: the folder "},
      {"fig.png", true, "fig.png: Cannot write file: only the workbench draws PNG figures"},
  };
  for (const auto& r : rows) {
    const std::string path = (dir / r.name).string();
    screen.queue_files({path});
    if (r.asks_size) screen.queue_figure_size(platform_types::figure_size{400, 300, 96});
    screen.clear_calls();
    screen.user_command(view_command::export_figure);
    EXPECT_EQ(screen.pending_answers(), 0u) << r.name;
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 1u) << r.name;
    EXPECT_NE(shown.front().find((dir / r.message).string()), std::string::npos) << shown.front();
    EXPECT_FALSE(std::filesystem::exists(path)) << r.name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "only the scan: no temporary left";
}

}  // namespace
