#pragma once

// Between the Qt backend and its test seams.

class PlatformControl;
class QWidget;

// The widget that shows a control (the window's top-level widget for a
// window); nullptr for none.
QWidget *widgetOf(const PlatformControl *control);
// A window's client area, in which its controls are placed.
QWidget *clientAreaOf(const PlatformControl *window);
