' ============================================================================
' xrdfourier template file
'
' This file tells the workbench which objects exist, what fields they carry
' and which scripts run on them. It has two sections, each found by its
' opening word wherever it stands in the file:
'
'   start_templates ... end_templates
'       Blocks in braces. Each line is a node: a name followed by attribute
'       keywords, ended by ';' (anything after ';' on that line is a comment).
'       Indentation gives the tree: three blanks (or one tab) per level.
'       A name whose first letter is A, B or C makes a typed-field node
'       (A), a report-editor node (B) or a field node with aliases (C); the
'       letter is not part of the name.
'
'   start_out_side_recs { ... }
'       Application-wide records: { "name" { "value" } }. Quote texts: a bare
'       word followed by a blank keeps that blank.
'
' Comments: an apostrophe at the start of a word runs to the end of the line;
' /* ... */ blocks nest.
' ============================================================================

start_templates

' ----------------------------------------------------------------------------
' The application object and what lives under it. "app" opens the name scope
' of this template: objects below it find their templates here.
' ----------------------------------------------------------------------------
{#app ;
   app _tem_plate #app ;
      client_win ;
      dAeletion_bin ;                     ' objects waiting to be destroyed at idle time
      AcBan_close _char* _default Y ;      ' the close-down answer, re-made for every attempt
      AcBhecked _int _default 0 ;          ' written by enabler scripts
      AeBnabler _int _default 1 ;          ' written by enabler scripts
      AhBinstance _int ;
      AmBax_num_files _int _min 1 _max 32 _default 32 _name Maximum|number|of|files ;
      AmBin_pts_xdd _int _min 4 _default 10 _name Minimum|number|of|points ;
      ' The current project, empty when none; the status bar follows it.
      ApDroj_path_name _char* _on_change e|dis_proj_name ;
      dis_proj_name ;
      ' Projects: the modified flag (always 0 without a project), saving and
      ' loading (both leave the project unmodified), the offer to save at
      ' close-down, and forgetting the project when no file is left.
      Aset_proj_dirty _int _default 0 ;
      proj_save _on_execution { j set_proj_dirty 0 } ;
      proj_open _on_execution { j set_proj_dirty 0 e view_for_each_file } ;
      app_closing_to_proj ;
      proj_check_no_xdd ;
      ok_to_load_more ;
      xdd_loaded ;
      xrd_open_dlg ;
      load_xdd ;                          ' the readers, named by "win_misc c exts_load"
      load_cpi ;
      load_xy ;
      load_xrdml ;
      load_ras ;
      load_raw ;
      load_brml ;
      load_rasx ;
      load_gsas ;
      Ado_unload _assoc _on_execution { e proj_check_no_xdd } ;
      Asave_xdd_as _assoc ;
      Ayes_no_dlg _char* ;
      Aok_message _char* ;
      opts_a ;
      history_dlg ;
      hlp_dlg ;
      ' The graph views: the control bar with its file buttons, the colour
      ' slots of the files, the list of open views (its "vw_with_focus"
      ' follows the focus; the working view follows it too, so that the file
      ' buttons show what the focused view shows), and the objects the views
      ' and their scripts use.
      controlbar ;
      colors ;
      view_recs ;
         Avw_with_focus _assoc _on_execution { F wBork_vw vw_with_focus e dis_buttons } ;
         AwBork_vw _assoc ;
         drvw _tem_plate #drvw ;
      new_view ;
      view_for_each_file ;
      new_xdd_for_vws ;
      invalidate_if_on ;
      set_vw_title ;
      set_cursors ;
      dis_buttons ;
      Adis_button _assoc ;
      axes_dlg ;
      drvw_bit_map ;
      ' A curve captured as a new data file, and the xy report of a view.
      capture ;
      capture_as_txt ;
      ' The report editor: many values of many files in one table.
      input_vw ;
      ' Text documents: the text font (and its struck-out form for report
      ' columns left out), the title of the next program-filled document
      ' ("New TXT", reports), and the open documents with their windows.
      font ;
      font_strike_out ;
      Aany_path_name _char* _default Untitled ;
      txt_docs ;
         any_doc ;
            any_vw ;
      ' The lambda cursor: the name of a set of "win_misc c wavelengths", and
      ' its switch.
      drvw_lam_cursor ;
      AsBhow_lam_curcor _switch _default 0 _name Show|lambda|cursor ;
      ' Loading one file: make the data-file node among the loaded files, give
      ' it the path, load it, and take it away again when the load failed.
      ApBath_name _char* _on_execution { q xdd n xDdd_path_name _ e ^ s [ t ] } ;
      ' Unloading every file, asking for the modified ones.
      dAo_unload_all _on_execution { w xAdd_recs [ m do_unload ^ e do_unload ] e proj_check_no_xdd } ;
      xdds ;
         xAdd_recs _array ;
            ' After a load the transform axis takes the file's wavelength.
            xdd _tem_plate #xdd _on_execution { n lBamda lBambda g fbutonoff e new_xdd_for_vws } ;
         ' The series tables shown in windows of their own when the project
         ' was saved: their paths, columns and x, written afresh at each save.
         AsBeries_shown _char* ;
}

' ----------------------------------------------------------------------------
' A loaded data file. Its options set the flags of the Fourier chain when they
' change: data, background, tails and doubling redo the transform; the origin
' and the wavelength the phase shift; the limit the inverse; the reference the
' quotient and the deconvoluted profile.
' ----------------------------------------------------------------------------
{#xdd ;
   xdd_data _not_for_proj ;
   xy_yobs _not_for_proj ;
   AxDdd_path_name _char* _not_for_proj ;  ' written in the file's own record
   AtBime _double _not_for_proj _name Count|time ;
   AlBambda _double _not_for_proj _name Wavelength ;
   ' The wavelength given for a file without one (--wavelength, the Load Data
   ' option), and how: kept in a project, so that the file has it again.
   AgBiven_lambda _double _default 0 _name Wavelength|given ;
   AgBiven_by _char* ;
   Ahint_text _char* _not_for_proj ;
   AmBoved_from _char* _not_for_proj ;     ' the path a project named, when the file was found elsewhere
   fbutonoff _not_for_proj ;               ' the file's button in the control bar
   ' Marks the file changed; run after each edit of an option by the user.
   xdd_changed _not_for_proj ;
   ' The chain's flags, all due when the file is new.
   AfBft_recal _int _default 1 _not_for_proj ;
   AfBft_shift _int _default 1 _not_for_proj ;
   AfBft_do_inv _int _default 1 _not_for_proj ;
   AfBft_do_deconv _int _default 1 _not_for_proj ;
   AfBft_do_br _int _default 1 _not_for_proj ;
   ' The chain's options. An edit by the user (here and in the tails) marks
   ' the project modified and the file changed.
   AfBreq_doubler _int _min 0 _max 4 _default 1 _name Transform|length|doubling _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_recal|1 ;
   AfBft_f2_lim _double _default -999 _name Frequency|limit _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_do_inv|1 ;
   AfBft_wiener _double _min 0 _default 0 _name Wiener|filter|constant _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_do_deconv|1|j|fBft_do_br|1 ;
   Afft_zero _double _default -999 _name Origin _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_shift|1 ;
   ' 1: Size and strain (and the batch tool, before its automatic limit)
   ' moves the origin to where the quotient's B(L) is smallest over the
   ' initial slope's fitted range; 0: the origin stays as typed or placed.
   AfBft_origin _switch _default 0 _name Origin|where|B(L)|is|smallest _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed ;
   AaBo_bkg _double _default 0 _name Background|level _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_recal|1 ;
   AaB1_bkg _double _default 0 _name Background|slope _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_recal|1 ;
   AlBamda _double _min 0 _max 10 _default 0 _name Wavelength|for|the|transform|axis _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_shift|1 ;
   Aref_prof _char* _name Reference|profile _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|fBft_do_deconv|1|j|fBft_do_br|1 ;
   Cxdds_tied_to _creator ptr_classes_4 _not_for_proj _not_to_copy ;
   Cfor_recalcs_ref _creator temp_line _not_for_proj _on_execution { j fBft_do_deconv 1 j fBft_do_br 1 } ;
   ' Extrapolated tails, one set of constants per side.
   ex_l_consts _tem_plate #ex_l_consts ;
   ex_r_consts _tem_plate #ex_r_consts ;
   ' The curves, recomputed from the options: never saved.
   xy_re _not_for_proj ;
   xy_im _not_for_proj ;
   xy_mod _not_for_proj ;
   xy_br_re _not_for_proj ;
   xy_br_im _not_for_proj ;
   xy_br_mod _not_for_proj ;
   xy_al _not_for_proj ;
   xy_inv _not_for_proj ;
   xy_deconv _not_for_proj ;
   xy_y_for_bkg _not_for_proj ;
   xy_y_for_zero _not_for_proj ;
   xy_f2_lim _not_for_proj ;
   xy_ex_l _not_for_proj ;
   xy_ex_r _not_for_proj ;
   xy_l1 _not_for_proj ;
   xy_l2 _not_for_proj ;
   xy_r1 _not_for_proj ;
   xy_r2 _not_for_proj ;
   ' The plot objects that draw them.
   yobs _not_for_proj ;
   re _not_for_proj ;
   im _not_for_proj ;
   mod _not_for_proj ;
   br_re _not_for_proj ;
   br_im _not_for_proj ;
   br_mod _not_for_proj ;
   al _not_for_proj ;
   inv _not_for_proj ;
   deconv _not_for_proj ;
   y_for_bkg _not_for_proj ;
   y_for_zero _not_for_proj ;
   y_f2_lim _not_for_proj ;
   ex_l _not_for_proj ;
   ex_r _not_for_proj ;
   pl1 _not_for_proj ;
   pl2 _not_for_proj ;
   pr1 _not_for_proj ;
   pr2 _not_for_proj ;
}

' The tail on the left of the profile: active when its start index is below 0
' and at least one term is used.
{#ex_l_consts ;
   AeBxtr_a1 _double _default 0 _name a1 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a2 _double _default 0 _name a2 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a3 _double _default 0 _name a3 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a1_use _switch _default 0 _name Use|a1 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AeBxtr_a2_use _switch _default 0 _name Use|a2 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AeBxtr_a3_use _switch _default 0 _name Use|a3 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AnBpts_i1 _double _max 0 _default 0 _name Left|tail|start _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AnBpts_i2 _double _min 4 _default 20 _name Left|fit|end _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AdBo_ex_yc _int _default 1 _not_for_proj ;
   AdBo_ex_reg _int _default 0 _not_for_proj ;
}

' The tail on the right: active when its end index lies beyond the last point.
' -1 means "not placed yet": the markers start at the last points.
{#ex_r_consts ;
   AeBxtr_a1 _double _default 0 _name a1 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a2 _double _default 0 _name a2 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a3 _double _default 0 _name a3 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_yc|1 ;
   AeBxtr_a1_use _switch _default 0 _name Use|a1 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AeBxtr_a2_use _switch _default 0 _name Use|a2 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AeBxtr_a3_use _switch _default 0 _name Use|a3 _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AnBpts_i1 _double _min -1 _default -1 _name Right|fit|start _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AnBpts_i2 _double _min -1 _default -1 _name Right|tail|end _on_take_data_4 j|set_proj_dirty|1|e|xdd_changed _on_change j|dBo_ex_reg|1 ;
   AdBo_ex_yc _int _default 1 _not_for_proj ;
   AdBo_ex_reg _int _default 0 _not_for_proj ;
}

'
' ----------------------------------------------------------------------------
' A graph view: its lines (one per file shown), the catcher of presses that
' no curve takes (they set x1 with the left button and x2 with the right),
' the drag and capture modes (present: on), and the markers of edits.
' ----------------------------------------------------------------------------
{#drvw ;
   vCiew_lines ;
      view_line _tem_plate #view_line ;
   left_right_pressed ;
   mAanip_x ;                              ' drag curves in x
   mAanip_y ;                              ' drag curves in y
   cAapt ;                                 ' a press on a curve captures it
   iAns_del_pks ;
   edinvw ;
   fAst_edinvw ;
}

' One file in a view: the plots that draw it there, in drawing order.
{#view_line ;
   xAdd_plots ;
      yobs ;
      y_for_bkg ;
      ex_l ;
      ex_r ;
      y_for_zero ;
      pl1 ;
      pl2 ;
      pr1 ;
      pr2 ;
      re ;
      im ;
      mod ;
      y_f2_lim ;
      br_re ;
      br_im ;
      br_mod ;
      al ;
      inv ;
      deconv ;
}

'
' ----------------------------------------------------------------------------
' The reports of the report editor, one entry each; what each shows is in the
' outside records "reports".
' ----------------------------------------------------------------------------
{#reports ;
   Bfourier ;
   Btails_left ;
   Btails_right ;
   Bfiles ;
}

' Free-standing objects: names with N, O, P, Q or R in second place find
' their templates here, wherever they are made.
{#not_in_tem ;
   ApRath_name _char* ;                 ' a path being checked before it is loaded
   xPobs ;
}

end_templates


start_out_side_recs {
   {"app_name" {"XRD Fourier Workbench"}}

   ' File extensions of the dialogs.
   {"def_xdd_ext" {"XDD"}}
   {"all_exts" {"XDD CPI"}}
   {"def_prj_ext" {"PRJ"}}
   {"def_prj_ext_star" {"*.PRJ"}}

   ' The half size in pixels of the handles of a curve being dragged.
   {"pen_box_size" {"3"}}

   {"win_misc"
      ' Wavelength sets of the lambda cursor: the reference line (wavelength
      ' and intensity), then each line to mark with its intensity.
      {^"wavelengths"
         {"CuKa" {"1.5406 100 1.54056 100 1.54439 50"}}
         {"CoKa" {"1.78897 100 1.78897 100 1.79285 50"}}
         {"MoKa" {"0.70930 100 0.70930 100 0.71359 50"}}}
      ' The help file "hlp" lives here; a relative directory is taken from the
      ' directory of this file.
      {"root_directory" {""}}

      ' The reader of each extension (looked up in lower case).
      {^"exts_load" {"xdd" {"load_xdd"}} {"cpi" {"load_cpi"}}
         {"xy" {"load_xy"}} {"dat" {"load_xy"}} {"txt" {"load_xy"}} {"csv" {"load_xy"}}
         {"xrdml" {"load_xrdml"}} {"ras" {"load_ras"}}
         {"raw" {"load_raw"}}
         {"brml" {"load_brml"}} {"rasx" {"load_rasx"}}
         {"gsa" {"load_gsas"}} {"gsas" {"load_gsas"}} {"fxye" {"load_gsas"}}}
      ' The wavelength (A) of a scan whose file gives none: Cu K-alpha1.
      {"default_wavelength" {"1.5406"}}

      ' Extensions given to curves captured as new data files.
      {^"cpt_exts"
         {"xy_yobs" {"yobs.xdd"}} {"xy_re" {"re.xdd"}} {"xy_im" {"im.xdd"}} {"xy_mod" {"mod.xdd"}}
         {"xy_inv" {"inv.xdd"}} {"xy_deconv" {"dec.xdd"}} {"xy_br_re" {"bre.xdd"}}
         {"xy_br_im" {"bim.xdd"}} {"xy_br_mod" {"bmod.xdd"}} {"xy_al" {"al.xdd"}}}
      ' A captured curve is a profile of its own: the settings that point into
      ' the source's profile (origin, limit, background, tail indices) start
      ' afresh, as does its file button.
      {"not_to_copy_on_capture" {"xy_yobs xdd_data xDdd_path_name xdds_tied_to ref_prof fbutonoff mBoved_from fft_zero fBft_f2_lim aBo_bkg aB1_bkg ex_l_consts ex_r_consts"}}

      ' What the user may do with each kind of curve.
      {^"plot_type_opts"
         {"re" {"_no_manip_x _no_manip_y"}}
         {"im" {"_no_manip_x _no_manip_y"}}
         {"mod" {"_no_manip_x _no_manip_y"}}
         {"br_re" {"_no_manip_x _no_manip_y"}}
         {"br_im" {"_no_manip_x _no_manip_y"}}
         {"br_mod" {"_no_manip_x _no_manip_y"}}
         {"al" {"_no_manip_x _no_manip_y"}}
         {"inv" {"_no_manip_x _no_manip_y"}}
         {"deconv" {"_no_manip_x _no_manip_y"}}
         {"ex_l" {"_no_manip_x _no_manip_y _not_for_xy_report"}}
         {"ex_r" {"_no_manip_x _no_manip_y _not_for_xy_report"}}
         {"y_for_bkg" {"_no_manip_x _no_manip_y _no_capt _not_for_xy_report"}}
         {"y_for_zero" {"_no_manip_y _no_capt _not_for_xy_report"}}
         {"y_f2_lim" {"_no_manip_y _no_capt _not_for_xy_report"}}
         {"pl1" {"_no_manip_y _no_capt _not_for_xy_report"}}
         {"pl2" {"_no_manip_y _no_capt _not_for_xy_report"}}
         {"pr1" {"_no_manip_y _no_capt _not_for_xy_report"}}
         {"pr2" {"_no_manip_y _no_capt _not_for_xy_report"}}}

      ' Scripts run after the user edited a curve.
      {^"on_change_of_plot_obj"
         {"yobs" {"j fBft_recal 1"}}}

      ' 32 colours for the files' curves, bright on the black graph.
      {"file_colors"
         {"255 255 0"} {"0 255 255"} {"255 0 255"} {"0 255 0"} {"255 128 0"} {"128 160 255"}
         {"255 96 96"} {"160 255 160"} {"255 255 255"} {"255 192 0"} {"0 192 255"} {"224 128 255"}
         {"128 255 0"} {"255 128 192"} {"0 255 160"} {"192 192 64"} {"255 160 128"} {"96 224 224"}
         {"200 100 255"} {"160 255 96"} {"255 80 160"} {"80 160 255"} {"255 224 128"} {"128 255 224"}
         {"224 224 160"} {"255 112 64"} {"176 176 255"} {"64 255 96"} {"255 176 255"} {"208 255 64"}
         {"64 208 176"} {"255 208 208"}}

      ' Menu commands: the number of a command and the script it runs, with the
      ' application object as context.
      {^"commands"
         {"3156" {"e dAo_unload_all"}}
         {"4156" {"e opts_a"}}
         {"4239" {"e hlp_dlg"}}
         {"4004" {"e new_view"}}
         {"1283" {"e view_for_each_file"}}
         {"4230" {"e any_path_name"}}
         {"4130" {"e proj_open"}}
         {"3155" {"e proj_save"}}
         {"4244" {"e axes_dlg"}}
         {"4006" {"j ok_message Refinement|is|not|available|in|this|workbench. e ok_message"}}
         {"4007" {"j ok_message Refinement|is|not|available|in|this|workbench. e ok_message"}}
         {"4159" {"j ok_message Error|estimates|are|not|available|in|this|workbench. e ok_message"}}
         {"4236" {"j ok_message Error|estimates|are|not|available|in|this|workbench. e ok_message"}}
      }
      ' Enablers: scripts that set "eBnabler" (and "cBhecked") for a command.
      {^"enablers"
         {"3156" {"j eBnabler 0 d xAdd_recs [ j eBnabler 1 ]"}}
         {"3155" {"j eBnabler 0 d xAdd_recs [ j eBnabler 1 ]"}}
         {"1283" {"j eBnabler 0 d xAdd_recs [ j eBnabler 1 ]"}}
         {"4156" {"j eBnabler 1"}}
         {"4239" {"j eBnabler 1"}}
         {"4004" {"j eBnabler 1"}}
         {"4230" {"j eBnabler 1"}}
         {"4130" {"j eBnabler 1"}}
         {"4244" {"j eBnabler 1"}}
         {"4006" {"j eBnabler 1"}}
         {"4007" {"j eBnabler 1"}}
         {"4159" {"j eBnabler 1"}}
         {"4236" {"j eBnabler 1"}}
      }
   }

   ' Dialogs: resource, parent window, list boxes (each with its lines and the
   ' script each line runs on the list box), and "modal" when modal.
   {"opts_a" {"resid" {"4148"}} {"parent" {"main_win"}}
      {"lbs"
         {"lb" {"name" {"opts_lb"}} {"resid" {"4149"}}
            {"items" {"Transform|length|x1 Transform|length|x2 Transform|length|x4 Transform|length|x8 Transform|length|x16 Drag|curves|in|x Drag|curves|in|y Capture|curves Measure|only Lambda|cursor|Cu|K-alpha Lambda|cursor|Co|K-alpha Lambda|cursor|Mo|K-alpha Lambda|cursor|off Report|editor Origin|as|placed Origin|where|B(L)|is|smallest"}}
            {"classes" {"w|xAdd_recs|[|j|fBreq_doubler|0|Q|invalidate_if_on|^|]|j|set_proj_dirty|1 w|xAdd_recs|[|j|fBreq_doubler|1|Q|invalidate_if_on|^|]|j|set_proj_dirty|1 w|xAdd_recs|[|j|fBreq_doubler|2|Q|invalidate_if_on|^|]|j|set_proj_dirty|1 w|xAdd_recs|[|j|fBreq_doubler|3|Q|invalidate_if_on|^|]|j|set_proj_dirty|1 w|xAdd_recs|[|j|fBreq_doubler|4|Q|invalidate_if_on|^|]|j|set_proj_dirty|1 L|vw_with_focus|b|mAanip_y|b|cAapt|c|mAanip_x|e|set_cursors L|vw_with_focus|b|mAanip_x|b|cAapt|c|mAanip_y|e|set_cursors L|vw_with_focus|b|mAanip_x|b|mAanip_y|c|cAapt|e|set_cursors L|vw_with_focus|b|mAanip_x|b|mAanip_y|b|cAapt|e|set_cursors j|drvw_lam_cursor|CuKa|j|sBhow_lam_curcor|1 j|drvw_lam_cursor|CoKa|j|sBhow_lam_curcor|1 j|drvw_lam_cursor|MoKa|j|sBhow_lam_curcor|1 j|sBhow_lam_curcor|0 e|input_vw w|xAdd_recs|[|j|fBft_origin|0|]|j|set_proj_dirty|1 w|xAdd_recs|[|j|fBft_origin|1|]|j|set_proj_dirty|1"}}}}}
   ' The report editor: where it looks for the rows of a report (below
   ' "search_from"), its list of reports (the entries of the template
   ' "#reports") and their definitions (the outside records "reports"). A
   ' definition gives the title and help of the report, the rows (data:
   ' _get_name, _creation_name with _create_if_not_there, _filter), the
   ' identity columns (id_lbs; _hidden_ids leaves some out) and the columns of
   ' fields (data_lbs). A column is named by the field it shows; its value
   ' describes it: _title, _width, _with, _code, _read_only.
   {"input_vw" {"search_from" {"xdds"}} {"template" {"#reports"}} {"reports" {"reports"}}}
   {"reports"
      {"fourier"
         {"title" {"Fourier options"}}
         {"hlp" {"The options of the Fourier chain of every loaded file. Origin: the x of the phase origin (-999: placed automatically at the centroid, with the background). Doubling: the transform is 2 to this power times longer than the next power of two above the number of points. Limit: the last frequency index of the inverse and of the quotient (-999: all). Origin by B: 1 moves the origin, when size and strain are computed, to where B(L) of the quotient is smallest over the fitted range of the initial slope (0: the origin stays as typed or placed). Wiener: k of the filter that weighs the quotient by |R|^2 / (|R|^2 + k noise^2), R the reference's transform (0: the plain quotient). Wavelength: converts the frequency axis to lengths (0: cycles per degree). Background: level at the profile's centre and slope per degree. Reference: the path of the loaded file whose profile is the instrumental one. Select cells, type a value into the edit line and press Enter (or Change Selections To)."}}
         {"data" {"_get_name xdd"}}
         {"id_lbs" {"xDdd_path_name" {"_title File _width 32"}}}
         {"data_lbs"
            {"fft_zero" {"_title Origin _width 10"}}
            {"fBreq_doubler" {"_title Doubling _width 9"}}
            {"fBft_f2_lim" {"_title Limit _width 9"}}
            {"fBft_origin" {"_title Origin|by|B _width 9"}}
            {"fBft_wiener" {"_title Wiener _width 9"}}
            {"lBamda" {"_title Wavelength _width 11"}}
            {"aBo_bkg" {"_title Bkg|level _width 11"}}
            {"aB1_bkg" {"_title Bkg|slope _width 11"}}
            {"ref_prof" {"_title Reference _width 32"}}}}
      {"tails_left"
         {"title" {"Tails: left side"}}
         {"hlp" {"The tail added on the left of each profile before it is transformed. Start: the first point of the tail (below 0 adds points; 0: no tail). Fit end: the last point of the fit. a1, a2, a3: the coefficients of the terms 1/|d|, 1/d^2 and 1/|d^3| (d: distance from the origin), each used when its Use is 1; the used ones are fitted to the points 0 to Fit end."}}
         {"data" {"_get_name ex_l_consts _creation_name xdd _create_if_not_there"}}
         {"id_lbs" {"xDdd_path_name" {"_title File _width 32"}}}
         {"data_lbs"
            {"nBpts_i1" {"_title Start _width 8"}}
            {"nBpts_i2" {"_title Fit|end _width 8"}}
            {"eBxtr_a1_use" {"_title Use|a1 _width 7"}}
            {"eBxtr_a1" {"_title a1 _width 12"}}
            {"eBxtr_a2_use" {"_title Use|a2 _width 7"}}
            {"eBxtr_a2" {"_title a2 _width 12"}}
            {"eBxtr_a3_use" {"_title Use|a3 _width 7"}}
            {"eBxtr_a3" {"_title a3 _width 12"}}}}
      {"tails_right"
         {"title" {"Tails: right side"}}
         {"hlp" {"The tail added on the right of each profile before it is transformed. Fit start: the first point of the fit. End: the last point of the tail (beyond the last point adds points; -1: placed at the last point). a1, a2, a3 and their Use as for the left side."}}
         {"data" {"_get_name ex_r_consts _creation_name xdd _create_if_not_there"}}
         {"id_lbs" {"xDdd_path_name" {"_title File _width 32"}}}
         {"data_lbs"
            {"nBpts_i1" {"_title Fit|start _width 9"}}
            {"nBpts_i2" {"_title End _width 8"}}
            {"eBxtr_a1_use" {"_title Use|a1 _width 7"}}
            {"eBxtr_a1" {"_title a1 _width 12"}}
            {"eBxtr_a2_use" {"_title Use|a2 _width 7"}}
            {"eBxtr_a2" {"_title a2 _width 12"}}
            {"eBxtr_a3_use" {"_title Use|a3 _width 7"}}
            {"eBxtr_a3" {"_title a3 _width 12"}}}}
      {"files"
         {"title" {"Data files"}}
         {"hlp" {"What each loaded file holds: its path, its count time, its wavelength and its number of points. These are the file's own and are not changed here."}}
         {"data" {"_get_name xdd"}}
         {"id_lbs" {"xDdd_path_name" {"_title File _width 40"}}}
         {"data_lbs"
            {"tBime" {"_title Count|time _width 11 _read_only"}}
            {"lBambda" {"_title Wavelength _width 11 _read_only"}}
            {"xy_yobs" {"_title Points _width 8 _read_only"}}}}}
   {"history_dlg" {"resid" {"4232"}} {"parent" {"main_win"}}}
   {"axes_dlg" {"resid" {"4240"}} {"parent" {"main_win"}}}
   {"hlp_dlg" {"resid" {"4237"}} {"parent" {"main_win"}}}
   ' The open dialog of "Load Data": several files at once.
   {"xrd_open_dlg" {"def_ext" {"XDD"}} {"def_ext_star" {"*.xdd"}} {"ext_all" {"CPI XY DAT TXT CSV XRDML RAS RAW BRML RASX GSA GSAS FXYE"}}
      {"all_types" {"Diffraction scans"}} {"all_types_star" {"*.xdd *.cpi *.xy *.dat *.txt *.csv *.xrdml *.ras *.raw *.brml *.rasx *.gsa *.gsas *.fxye"}}
      {"caption" {"Load Data File(s)"}} {"save" {"0"}} {"flag_num" {"1"}}}
}
