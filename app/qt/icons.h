#pragma once

#include <QCursor>
#include <QIcon>

#include "app/platform/platform.h"

// The pictures of the control bar, drawn in code: the scroll and extend
// buttons (1009, 1010, 1014) and the file buttons' tick (4100) and cross
// (4010) in the file's colour.
QIcon control_icon(const platform_types::gadget& g);

// The workbench's own icon: a line profile on the graph's black.
QIcon application_icon();

// The mouse cursors of a graph view by resource id (0: the arrow).
QCursor view_cursor_shape(int id);
