#include "app/shell/menu_commands.h"

namespace {

using platform_types::menu_item;
namespace cmd = command_id;
namespace vc = view_command;

menu_item item(int id, const char* text, const char* hint = "") { return menu_item{id, text, hint, {}}; }
menu_item separator() { return menu_item{}; }
menu_item popup(const char* text, std::vector<menu_item> items) { return menu_item{0, text, "", std::move(items)}; }

}  // namespace

const std::vector<int>& scripted_commands() {
  static const std::vector<int> ids = {
      cmd::add_view, cmd::refine, cmd::refine_marquardt, cmd::unload_data, cmd::show_options,
      cmd::errors, cmd::errors_correlation, cmd::save_project_as, cmd::load_project, cmd::view_all_files,
      cmd::new_txt, cmd::help, cmd::edit_scales};
  return ids;
}

const std::vector<menu_item>& main_menu() {
  static const std::vector<menu_item> menu = {
      popup("&File",
            {
                item(cmd::load_data, "Load &Data", "Load data file(s) into a new view "),
                item(cmd::unload_data, "&Unload Data", "Unload data file(s)."),
                separator(),
                item(cmd::new_txt, "&New TXT", "Create a new TXT document"),
                item(cmd::load_txt, "&Load TXT", "Open an existing document"),
                item(cmd::save_txt, "&Save TXT", "Save this document"),
                item(cmd::save_txt_as, "Save TXT &As", "Save this document with a new name"),
                separator(),
                item(vc::export_figure, "&Export Figure...",
                     "Write the view as a figure with axes and a legend, as a PNG picture or an SVG drawing."),
                separator(),
                item(cmd::load_project, "Load &Project", "Load an existing PRJ file."),
                item(cmd::save_project, "Save &Project",
                     "Save the project to its PRJ file; without one, ask for a name as Save Project As does."),
                item(cmd::save_project_as, "Save Pro&ject As",
                     "Save all the currently loaded data for the Data files into a PRJ file."),
                separator(),
                item(cmd::exit, "E&xit", "Quit the application, prompting to save documents"),
            }),
      popup("&Edit",
            {
                item(cmd::undo, "&Undo", "Undo the last change of a file's data or options."),
                item(cmd::redo, "Re&do", "Do again the change last undone."),
                separator(),
                item(cmd::show_options, "&Show Options", "Show the Options Dialog"),
                item(cmd::edit_scales, "Edit &x-y scales"),
                item(vc::xy_report, "Create xy &Report"),
                item(vc::copy, "&Copy", "Put the curves of the view on the clipboard as tab-separated text."),
                separator(),
                item(vc::automatic_limit, "Automatic frequency &limit",
                     "Set the frequency limit of each file with a reference where its quotient meets three times "
                     "its noise."),
                item(vc::size_strain, "Size and S&train",
                     "Sizes and strains from the Fourier coefficients of the view's files with a reference."),
                separator(),
                item(vc::analyse_pattern, "Analyse &Pattern...",
                     "Find, index and analyse every line of the view's whole pattern against an instrument "
                     "function or a standard's pattern: Williamson-Hall and Warren-Averbach."),
                item(vc::analyse_line, "Analyse this L&ine",
                     "The view's range becomes a new file tied to a reference synthesised from the instrument "
                     "function, shown with its deconvolution and its A(L)."),
                item(vc::clear_line_marks, "Clear Line &Marks", "Take the marks of the lines found off the view."),
                item(vc::subtract_background, "Subtract Pattern &Background",
                     "A new file of the view's counts less the background under their lines, shown in a new "
                     "view; the file itself stays as it was."),
            }),
      popup("&View",
            {
                popup("&Show all of selected files",
                      {item(vc::show_all, "&This view"), item(vc::show_all_views, "&All views")}),
                popup("Fix y&2 at max y", {item(vc::fix_y2_max, "&This view"), item(vc::fix_y2_max_all, "&All views")}),
                popup("Fix y&1 at min y", {item(vc::fix_y1_min, "&This view"), item(vc::fix_y1_min_all, "&All views")}),
                popup("Fix y1 to zer&o",
                      {item(vc::fix_y1_zero, "&This view"), item(vc::fix_y1_zero_all, "&All views")}),
                item(vc::zoom_back, "&Back", "The limits this view had before the last zoom."),
                item(vc::zoom_forward, "&Forward", "The limits this view had before Back."),
                separator(),
                item(vc::axes, "&Axes", "Ticks, numbers and captions round the plot; off, the whole window is the plot."),
                item(vc::legend, "&Legend", "A legend naming the file and the family of each curve shown."),
                item(vc::light_background, "Lig&ht background",
                     "White paper and darkened colours instead of the black background."),
                separator(),
                item(vc::show_transform_re_im, "Show FT(Yobs) &Re, Im"),
                item(vc::show_transform_mod, "Show FT(Yobs) &Modulus"),
                item(vc::show_quotient_re_im, "Show FT(Yobs)/FT(Ref) Re, &Im"),
                item(vc::show_quotient_mod, "Show FT(Yobs)/FT(Ref) M&odulus"),
                item(vc::show_observed, "Show &Yobs"),
                item(vc::show_inverse, "Show In&verse FT(Yobs)"),
                item(vc::show_deconvoluted, "Show &Deconvoluted Profile"),
                item(vc::show_coefficients, "Show Fourier &coefficients A(L)"),
            }),
      popup("&Window",
            {
                item(cmd::cascade, "&Cascade", "Cascade open windows"),
                item(cmd::tile_vertical, "&Tile Vertical", "Tile open windows"),
                item(cmd::tile_horizontal, "Tile &Horizontal", "Tile open windows"),
                item(cmd::arrange_icons, "Arrange &Icons", "Arrange iconic windows along bottom"),
                item(cmd::next_window, "&Next", "Activate the next view or text."),
                item(cmd::close_window, "Cl&ose", "Close the active view or text."),
                separator(),
                item(cmd::add_view, "Add &View", "Add a new graphic view."),
                item(cmd::view_all_files, "View a&ll files",
                     "Close all graphics views and create a new view for each file."),
                item(cmd::view_selected_files, "View &selected files",
                     "Close all graphics views and create a new view for each selected file."),
            }),
      popup("&Help",
            {
                item(cmd::help, "&Help"),
                item(cmd::about, "&About"),
            }),
  };
  return menu;
}

const char* command_hint(int id) {
  switch (id) {
    case cmd::refine: return "Perform a refinement on all opened views.";
    case cmd::refine_marquardt: return "Perform a refinement on all opened views using the Marquardt method.";
    case cmd::errors_correlation:
      return "Calculate errors for the fitted parameters and create the correlation matrix.";
    case cmd::errors: return "Calculate errors for the fitted parameters";
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
