// SPDX-License-Identifier: MIT
#pragma once

// The window layer's own state: the loaded windows, each control's stored
// settings and its widget, the event hold. Not for the game.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "windowdata.h"

class MainFrame;

struct ControlState {
    const ResolvedControl *definition = nullptr; // none for the window unit
    ControlId id = 0;
    ControlKind kind = ControlKind::window;
    // The common settings, kept so that they can be read whether or not the
    // widget exists.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string tag; // GBK
    bool visible = true;
    bool disabled = false;
    std::int32_t mousePointer = 0;
    // Own settings that read back as written.
    std::string text; // GBK: a button's caption, a label's text
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t position = 0;
    QPointer<QWidget> widget;
};

struct LoadedWindow {
    std::shared_ptr<const std::vector<ResolvedWindow>> data; // keeps `definition` alive
    const ResolvedWindow *definition = nullptr;
    WindowId id = 0;
    ControlState unit;
    std::vector<ControlState> controls; // in their defined order
    QPointer<MainFrame> frame;
};

LoadedWindow *findLoadedWindow(WindowId window);
ControlState *findControl(LoadedWindow &window, ControlId control);

struct ControlRef {
    LoadedWindow *window;
    ControlState *control;
};
// The control that a widget (or a widget inside a control) belongs to; the
// window itself and its client area are the window unit.
std::optional<ControlRef> controlOfWidget(const QObject *object);

// The widget in which a control's client coordinates count.
QWidget *clientWidget(const LoadedWindow &window, const ControlState &control);

// Raises an event of a control; gives true when a handler gave the result
// 0, which swallows the input.
bool raiseControlEvent(const LoadedWindow &window, const ControlState &control, std::int32_t number,
    std::initializer_list<std::int32_t> arguments = {});

// Keyboard focus moves along the tab order: forward for Tab, back for
// Shift+Tab, over visible and enabled controls, wrapping at both ends.
void moveFocus(LoadedWindow &window, bool forward);
void focusFirstControl(LoadedWindow &window);

void holdEvents();
void releaseEvents();

// Hands an event about to be delivered to the tests' observer, if any.
void observeEvent(const EventRecord &event);

// Installs the hook that sees every mouse and keyboard event first.
void installInputHook();

// A left click at `at` (widget coordinates) made by other means than the
// mouse, such as a screen reader's press action: the press and the release
// go through the hook as the mouse's would, so the same events are raised, a
// disabled control raises none of its own and a swallowed press stops there.
void clickLikeMouse(QWidget *widget, QPoint at);
