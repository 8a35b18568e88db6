#include "app/shell/menu_commands.h"

namespace {

using platform_types::menu_item;

menu_item item(int id, const char* text, const char* hint = "") { return menu_item{id, text, hint, {}}; }
menu_item separator() { return menu_item{}; }
menu_item popup(const char* text, std::vector<menu_item> items) { return menu_item{0, text, "", std::move(items)}; }

}  // namespace

const std::vector<int>& scripted_commands() {
  static const std::vector<int> ids = {4004, 4006, 4007, 3156, 4156, 4236, 4159, 3155, 4130, 1283, 4230, 4239, 4244};
  return ids;
}

const std::vector<menu_item>& main_menu() {
  static const std::vector<menu_item> menu = {
      popup("&File",
            {
                item(3153, "Load &Data", "Load data file(s) into a new view "),
                item(3156, "&Unload Data", "Unload data file(s)."),
                separator(),
                item(4230, "&New TXT", "Create a new TXT document"),
                item(24332, "&Load TXT", "Open an existing document"),
                item(24333, "&Save TXT", "Save this document"),
                item(24334, "Save TXT &As", "Save this document with a new name"),
                separator(),
                item(4260, "&Export Figure...",
                     "Write the view as a figure with axes and a legend, as a PNG picture or an SVG drawing."),
                separator(),
                item(4130, "Load &Project", "Load an existing PRJ file."),
                item(3157, "Save &Project",
                     "Save the project to its PRJ file; without one, ask for a name as Save Project As does."),
                item(3155, "Save Pro&ject As",
                     "Save all the currently loaded data for the Data files into a PRJ file."),
                separator(),
                item(24310, "E&xit", "Quit the application, prompting to save documents"),
            }),
      popup("&Edit",
            {
                item(4156, "&Show Options", "Show the Options Dialog"),
                item(4244, "Edit &x-y scales"),
                item(4246, "Create xy &Report"),
                item(4259, "&Copy", "Put the curves of the view on the clipboard as tab-separated text."),
                separator(),
                item(4258, "Automatic frequency &limit",
                     "Set the frequency limit of each file with a reference where its quotient meets three times "
                     "its noise."),
                item(4257, "Size and S&train",
                     "Sizes and strains from the Fourier coefficients of the view's files with a reference."),
            }),
      popup("&View",
            {
                popup("&Show all of selected files", {item(3044, "&This view"), item(3148, "&All views")}),
                popup("Fix y&2 at max y", {item(3043, "&This view"), item(3150, "&All views")}),
                popup("Fix y&1 at min y", {item(3046, "&This view"), item(3151, "&All views")}),
                popup("Fix y1 to zer&o", {item(3042, "&This view"), item(3149, "&All views")}),
                separator(),
                item(4247, "Show FT(Yobs) &Re, Im"),
                item(4248, "Show FT(Yobs) &Modulus"),
                item(4249, "Show FT(Yobs)/FT(Ref) Re, &Im"),
                item(4250, "Show FT(Yobs)/FT(Ref) M&odulus"),
                item(4251, "Show &Yobs"),
                item(4252, "Show In&verse FT(Yobs)"),
                item(4253, "Show &Deconvoluted Profile"),
                item(4254, "Show Fourier &coefficients A(L)"),
            }),
      popup("&Window",
            {
                item(24361, "&Cascade", "Cascade open windows"),
                item(24362, "&Tile Vertical", "Tile open windows"),
                item(24363, "Tile &Horizontal", "Tile open windows"),
                item(24364, "Arrange &Icons", "Arrange iconic windows along bottom"),
                separator(),
                item(4004, "Add &View", "Add a new graphic view."),
                item(1283, "View a&ll files", "Close all graphics views and create a new view for each file."),
                item(1284, "View &selected files",
                     "Close all graphics views and create a new view for each selected file."),
            }),
      popup("&Help",
            {
                item(4239, "&Help"),
                item(205, "&About"),
            }),
  };
  return menu;
}

const char* command_hint(int id) {
  switch (id) {
    case 4006: return "Perform a refinement on all opened views.";
    case 4007: return "Perform a refinement on all opened views using the Marquardt method.";
    case 4159: return "Calculate errors for the fitted parameters and create the correlation matrix.";
    case 4236: return "Calculate errors for the fitted parameters";
    default: break;
  }
  struct finder {
    static const char* in(const std::vector<menu_item>& items, int id) {
      for (const menu_item& m : items) {
        if (m.id == id && m.id != 0) return m.hint.c_str();
        if (const char* h = in(m.items, id)) return h;
      }
      return nullptr;
    }
  };
  const char* h = finder::in(main_menu(), id);
  return h ? h : "";
}
