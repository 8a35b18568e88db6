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

' The application object and what lives under it. "app" opens the name scope
' of this template: objects below it find their templates here.
{#app ;
   app _tem_plate #app ;
      xdds ;
}

' Free-standing objects: names with N, O, P, Q or R in second place find
' their templates here, wherever they are made.
{#not_in_tem ;
   pRath_name ;
}

end_templates


start_out_side_recs {
   {"app_name" {"XRD Fourier Workbench"}}

   {"win_misc"
      ' Menu commands: the number of a command and the script it runs.
      {^"commands"
      }
      ' Enablers: the number of a command and the script that decides whether
      ' its menu item is enabled.
      {^"enablers"
      }
   }
}
