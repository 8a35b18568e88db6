#pragma once

#include "app/headless/headless_platform.h"
