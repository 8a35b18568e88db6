#pragma once

#include <QCursor>
#include <QIcon>

#include "app/platform/command_ids.h"
#include "app/platform/platform.h"

// The pictures of the control bar, drawn in code: the scroll and extend
// buttons and the file buttons' tick and cross in the file's colour.
QIcon control_icon(const platform_types::gadget& g);

// The workbench's own icon: a line profile on the graph's black.
QIcon application_icon();

// The mouse cursors of a graph view by resource id (0: the arrow).
QCursor view_cursor_shape(int id);
