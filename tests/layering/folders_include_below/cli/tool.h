#pragma once

#include "app/platform/figure_file.h"
#include "app/shell/application_session.h"
#include "cli/command_table.h"
