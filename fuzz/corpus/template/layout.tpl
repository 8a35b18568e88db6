start_templates
{#app ;
	app _tem_plate #app ;
   /* nested /* comment */ */ Cxdds _alias files _creator xdds ;
' comment line
         BbAd_indent ;
      Aname_over
        _double two lines ; after the semicolon
}
end
