cmake_policy(SET CMP0057 NEW)
# Fails when a layer includes a header from a layer above it, when a folder
# of app/ includes a folder above it or a front end, when a front end
# reaches past what it may see, or when code outside app/qt includes Qt.
# Run with -DSOURCE_DIR=<repo>.
set(order core io template numerics xrd app)
set(allowed_core core)
set(allowed_io core io)
set(allowed_template core io template)
set(allowed_numerics core io template numerics)
set(allowed_xrd core io template numerics xrd)
set(allowed_app core io template numerics xrd app)
# The folders of app/, from the bottom. On top of them sit the front ends
# in app/: the Qt workbench, which may include any of them, and the scripted
# platform for the tests, which implements the platform and sees nothing
# else. No folder includes a front end, nor one front end the other. The
# batch tool is not in app/: it is the front end cli/, checked below.
set(app_order platform views dialogs files capture text analysis report project shell)
set(app_front_ends qt headless)
set(front_end_reach_qt ${app_order})
set(front_end_reach_headless platform)
set(failures "")
foreach(layer IN LISTS order)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(f IN LISTS files)
    string(FIND "${f}" "/app/qt/" in_qt)
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include")
    # The folder of app/ the file is in, when the order ranks it.
    set(app_folder "")
    set(folder_rank -1)
    set(front_end "")
    if(layer STREQUAL "app" AND f MATCHES "/app/([a-z]+)/[^/]+$")
      list(FIND app_order ${CMAKE_MATCH_1} folder_rank)
      if(folder_rank GREATER -1)
        set(app_folder ${CMAKE_MATCH_1})
      elseif(CMAKE_MATCH_1 IN_LIST app_front_ends)
        set(front_end ${CMAKE_MATCH_1})
      endif()
    endif()
    foreach(line IN LISTS includes)
      if(in_qt EQUAL -1 AND line MATCHES "#[ \t]*include[ \t]*<Q")
        list(APPEND failures "${f}: ${line}")
      endif()
      if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/")
        set(target ${CMAKE_MATCH_1})
        if(target IN_LIST order AND NOT target IN_LIST allowed_${layer})
          list(APPEND failures "${f}: ${line}")
        endif()
      endif()
      if(app_folder AND line MATCHES "#[ \t]*include[ \t]*\"app/([a-z]+)/")
        list(FIND app_order ${CMAKE_MATCH_1} target_rank)
        if(target_rank EQUAL -1 OR target_rank GREATER folder_rank)
          list(APPEND failures "${f}: ${line}")
        endif()
      endif()
      if(front_end AND line MATCHES "#[ \t]*include[ \t]*\"app/([a-z]+)/")
        if(NOT CMAKE_MATCH_1 STREQUAL front_end AND NOT CMAKE_MATCH_1 IN_LIST front_end_reach_${front_end})
          list(APPEND failures "${f}: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()
# The batch tool (cli/) is a front end over the application session: it may
# include its own headers, the session's, the series' jobs and table, the
# platform it implements and the writers of whole files, and nothing else of
# app/ or the layers below it. No layer includes it.
set(cli_allowed
  app/shell/application_session.h
  app/shell/series_rows.h
  app/platform/platform.h
  app/platform/figure_file.h
  app/platform/replacing_file.h)
file(GLOB_RECURSE cli_files ${SOURCE_DIR}/cli/*.h ${SOURCE_DIR}/cli/*.cpp)
foreach(f IN LISTS cli_files)
  file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*<Q")
      list(APPEND failures "${f}: ${line}")
    endif()
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header ${CMAKE_MATCH_1})
      if(NOT header MATCHES "^cli/" AND NOT header MATCHES "^app/shell/[a-z_]*series_job\\.h$"
         AND NOT header IN_LIST cli_allowed)
        list(APPEND failures "${f}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()
foreach(layer IN LISTS order)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"cli/")
    foreach(line IN LISTS includes)
      list(APPEND failures "${f}: ${line}")
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layering broken:\n${text}")
endif()
message(STATUS "Layering holds")
