#pragma once

// A workbench with graph views: scans of known shapes, loading them into a
// view the way the user does, and the user's mouse and keys on a view.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_line_9.h"
#include "app/views/view_recs_9.h"

class Views : public Workbench {
 protected:
  using action = platform_types::mouse_action;
  using button = platform_types::mouse_button;

  // A scan of the given ordinates, x from x1 in steps of dx, count time 1.
  std::string profile(const std::string& name, double x1, double dx, const std::vector<double>& y) {
    std::ofstream f(dir / name);
    char head[128];
    std::snprintf(head, sizeof head, "%.6f %.6f %.6f\n", x1, dx, x1 + dx * static_cast<double>(y.size() - 1));
    f << "A shaped scan\n" << head << "1 1 1.5406\n";
    for (double v : y) f << v << "\n";
    return (dir / name).string();
  }

  // A triangle of height 100 at x = 30 falling by 20 a degree to `base`,
  // which it keeps from 20 to 25 and from 35 to 40 (41 points, step 0.5).
  std::string peak(const std::string& name, double base = 0.0) {
    std::vector<double> y;
    for (int i = 0; i <= 40; ++i) y.push_back(base + std::max(0.0, 100.0 - 20.0 * std::fabs(0.5 * i - 10.0)));
    return profile(name, 20.0, 0.5, y);
  }

  // A frame of 401 by 201 pixels showing x 20 to 40 and y 0 to 100: 20
  // pixels a degree and 2 a count, so pixel x = 20 (x - 20), y = 200 - 2 y.
  void plain_window(TDrawView* v) {
    screen.user_resizes(v->frame(), 401, 201);
    limits(v, 20.0, 40.0, 0.0, 100.0);
  }

  // Sets the limits as the axes dialog does, without its swapping.
  static void limits(TDrawView* v, double x1, double x2, double y1, double y2) {
    v->set_x1(x1);
    v->set_x2(x2);
    v->set_y1(y1);
    v->set_y2(y2);
    v->recompute_scale();
  }

  // "Load Data" with these files: a new view showing them, which has the
  // focus. Without one the test cannot go on.
  TDrawView* open(const std::vector<std::string>& paths) {
    screen.queue_files(paths);
    screen.user_command(command_id::load_data);
    if (!focused()) throw std::runtime_error("Load Data opened no view");
    return focused();
  }

  view_recs_9* recs() { return view_list(*app); }
  TDrawView* focused() { return recs() ? recs()->focused() : nullptr; }
  std::vector<TDrawView*> views() { return recs() ? recs()->views() : std::vector<TDrawView*>{}; }
  std::string title(TDrawView* v) { return screen.frame(v->frame())->title; }
  std::vector<std::string> paint(TDrawView* v) { return screen.user_paints(v->frame()); }

  void mouse(TDrawView* v, action a, button b, int x, int y) { screen.user_mouse(v->frame(), {a, b, x, y, false}); }
  void move(TDrawView* v, int x, int y) { mouse(v, action::move, button::none, x, y); }
  // A click that acts: a move first, since the first press after a view
  // opens is ignored otherwise.
  void press(TDrawView* v, button b, int x, int y) {
    move(v, x, y);
    mouse(v, action::press, b, x, y);
  }
  void release(TDrawView* v, button b, int x, int y) { mouse(v, action::release, b, x, y); }
  void key(TDrawView* v, char c) { screen.user_types_key(v->frame(), c); }

  // Numbers joined by blanks after a word: "line 0 200 401 200".
  static std::string call(const std::string& word, const std::vector<int>& numbers) {
    std::string out = word;
    for (int n : numbers) out.append(" ").append(std::to_string(n));
    return out;
  }

  // The drawing calls of one paint that start with `prefix`.
  static std::vector<std::string> calls_starting(const std::vector<std::string>& calls, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};
