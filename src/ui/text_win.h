#pragma once

#include "core/text_win.h"
