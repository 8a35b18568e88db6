#pragma once

#include "app/batch/batch_tool.h"
