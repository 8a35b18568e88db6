#pragma once

#include "cli/batch_tool.h"
