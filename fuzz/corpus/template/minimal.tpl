start_templates
{#app ;
   app _tem_plate #app ;
      AnBval _int _min 0 _max 10 _default 3 _on_change { c mAark } ;
      mAark ;
      xdds ;
         xAdd_recs _array ;
            xdd _tem_plate #xdd ;
}
{#xdd ;
   xdd_data ;
   AtBime _double ;
   plot ;
}
{plot ;
   AlBine_width _int _min 0 _max 10 ;
}
{#not_in_tem ;
   pRath_name ;
}
end_templates
start_out_side_recs {
   {"app_name" {"minimal"}}
   {"win_misc" {^"exts_load" {"xdd" {"load_xdd"}}}}
}
