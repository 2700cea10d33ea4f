// SPDX-License-Identifier: MIT
#pragma once

// Seams for tests of the Qt backend. The game itself never uses these.

#include <QWidget>

#include "window/ids.h"

// The widget of a control, or the main window's top-level widget for the
// window unit; nullptr when it is not built.
QWidget *controlWidget(WindowId window, ControlId control);
// The main window's client area, in which the controls are placed.
QWidget *clientAreaWidget(WindowId window);
