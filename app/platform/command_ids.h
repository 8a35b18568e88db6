#pragma once

// Every command id of the workbench, each defined here once: the ids are
// those of the menu, the control bar and the template's command scripts
// ("win_misc c commands"), so they are stored in the template and may not
// change.

// Commands of the main window (the menu and the template's scripts).
namespace command_id {
inline constexpr int about = 205;
inline constexpr int load_data = 3153;
inline constexpr int unload_data = 3156;
inline constexpr int new_txt = 4230;
inline constexpr int load_txt = 24332;
inline constexpr int save_txt = 24333;
inline constexpr int save_txt_as = 24334;
inline constexpr int load_project = 4130;
inline constexpr int save_project_as = 3155;
inline constexpr int save_project = 3157;
inline constexpr int exit = 24310;
inline constexpr int show_options = 4156;
inline constexpr int edit_scales = 4244;
inline constexpr int add_view = 4004;
inline constexpr int view_all_files = 1283;
inline constexpr int view_selected_files = 1284;
inline constexpr int help = 4239;
inline constexpr int refine = 4006;
inline constexpr int refine_marquardt = 4007;
inline constexpr int errors_correlation = 4159;
inline constexpr int errors = 4236;
inline constexpr int cascade = 24361;
inline constexpr int tile_vertical = 24362;
inline constexpr int tile_horizontal = 24363;
inline constexpr int arrange_icons = 24364;
inline constexpr int undo = 4280;
inline constexpr int redo = 4281;
inline constexpr int next_window = 4282;
inline constexpr int close_window = 4283;
}  // namespace command_id

// Commands a graph view answers (the View menu, the control bar, the file
// buttons and their popup).
namespace view_command {
inline constexpr int fix_y1_zero = 3042;
inline constexpr int fix_y2_max = 3043;
inline constexpr int show_all = 3044;
inline constexpr int fix_y1_min = 3046;
inline constexpr int nothing_a = 3047;
inline constexpr int show_all_views = 3148;
inline constexpr int fix_y1_zero_all = 3149;
inline constexpr int fix_y2_max_all = 3150;
inline constexpr int fix_y1_min_all = 3151;
inline constexpr int nothing_b = 3152;
inline constexpr int xy_report = 4246;
// The display families, in the order of their display bits 0x010 .. 0x800.
inline constexpr int show_transform_re_im = 4247;
inline constexpr int show_transform_mod = 4248;
inline constexpr int show_quotient_re_im = 4249;
inline constexpr int show_quotient_mod = 4250;
inline constexpr int show_observed = 4251;
inline constexpr int show_inverse = 4252;
inline constexpr int show_deconvoluted = 4253;
inline constexpr int show_coefficients = 4254;  // the Fourier coefficients A(L)
inline constexpr int first_display = show_transform_re_im;
inline constexpr int last_display = show_coefficients;
inline constexpr int size_strain = 4257;
inline constexpr int automatic_limit = 4258;
inline constexpr int copy = 4259;
inline constexpr int export_figure = 4260;
inline constexpr int analyse_pattern = 4261;
inline constexpr int analyse_line = 4262;
inline constexpr int clear_line_marks = 4263;
inline constexpr int subtract_background = 4264;
inline constexpr int axes = 4284;              // axes with ticks and numbers round the plot
inline constexpr int legend = 4285;            // a legend of the curves shown
inline constexpr int light_background = 4286;  // white paper instead of black
inline constexpr int zoom_back = 4287;         // the view's previous limits
inline constexpr int zoom_forward = 4288;
inline constexpr int first_file_button = 4010;  // 4010 to 4041: one per colour slot
inline constexpr int last_file_button = 4041;
inline constexpr int scroll = 1009;
inline constexpr int extend_x = 1010;
inline constexpr int extend_y = 1014;
inline constexpr int file_unload = 3022;
inline constexpr int file_save_as = 3023;
inline constexpr int file_show_alone = 3025;
}  // namespace view_command

// Pictures of the control bar by resource id. The scroll and extend buttons
// show the picture of their own command id; a file button shows a tick while
// the focused view shows its file and a cross while it does not.
namespace bar_bitmap {
inline constexpr int tick = 4100;
inline constexpr int cross = 4010;
}  // namespace bar_bitmap
