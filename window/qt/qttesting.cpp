// SPDX-License-Identifier: MIT
#include "qttesting.h"

#include "qtplatform_p.h"
#include "window/platform.h"
#include "window/testing.h"

QWidget *controlWidget(WindowId window, ControlId control)
{
    return widgetOf(platformControl(window, control));
}

QWidget *clientAreaWidget(WindowId window)
{
    return clientAreaOf(platformWindow(window));
}
