// SPDX-License-Identifier: MIT
#pragma once

// Between the Qt backend and its test seams.

#include <QPoint>

class PlatformControl;
class QWidget;

// The widget that shows a control (the window's top-level widget for a
// window); nullptr for none.
QWidget *widgetOf(const PlatformControl *control);
// A window's client area, in which its controls are placed.
QWidget *clientAreaOf(const PlatformControl *window);

// A left click at `at` (widget coordinates) made by other means than the
// mouse, such as a screen reader's press action: the press and the release
// go through the input hook as the mouse's would, so the same events are
// raised, a disabled control raises none of its own and a swallowed press
// stops there.
void clickLikeMouse(QWidget *widget, QPoint at);
