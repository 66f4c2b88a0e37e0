#pragma once

// The application framework: application object, windows, dialogs, controls, message maps.

#include "platform/framework/application.h"
#include "platform/framework/controls.h"
#include "platform/framework/cstring.h"
#include "platform/framework/dialog.h"
#include "platform/framework/message_map.h"
#include "platform/framework/window.h"
