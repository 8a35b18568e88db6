#pragma once

#include "app/headless/recording_surface.h"
#include "app/platform/figure_file.h"
#include "app/platform/platform.h"
