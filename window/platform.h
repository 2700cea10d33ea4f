// SPDX-License-Identifier: MIT
#pragma once

// What the window layer asks of a windowing toolkit, and the entry points
// through which the toolkit hands input back. The layer keeps every setting
// the game writes and reads back; a backend only shows them and owns what
// the player changes (the focus, an edit box's selection, list rows).
//
// Texts cross as GBK bytes; each backend converts them at its own edge.
// Positions and sizes are in the window's logical pixels.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "window/form.h"
#include "window/ids.h"
#include "window/picture.h"

// A rectangle: on the desktop for a window and a screen, in the client area
// for a control.
struct Area {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Area &, const Area &) = default;
};

struct PlatformFont {
    std::string face; // GBK
    std::int32_t height = 0; // pixels, the em
    std::int32_t weight = 400;
};

// What a control is built with. Ids let the backend say whose input it hands
// back.
struct ControlPlan {
    WindowId window = 0;
    ControlId id = 0;
    ControlKind kind = ControlKind::button;
    std::string name; // GBK: an object name; a picture box's accessible name
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool visible = true; // already false for the kinds that are never drawn
    bool tabStop = false;
    std::string text; // GBK: a caption, edit content or label text
    std::optional<PlatformFont> font;
    std::optional<Rgb> textColour;
    std::int32_t minimum = 0; // a progress bar's range
    std::int32_t maximum = 0;
};

struct WindowPlan {
    WindowId id = 0;
    ControlId unit = 0;
    std::string title; // GBK
    std::int32_t left = 0; // outer place and size, frame included
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Rgb background;
    std::span<const std::vector<unsigned char>> icons; // icon files, each size
};

enum class FocusReason { tab, backtab, activation };

// One control as the backend shows it. Setters a kind has no use for do
// nothing.
class PlatformControl {
public:
    virtual ~PlatformControl() = default;

    virtual void move(std::int32_t left, std::int32_t top) = 0;
    virtual void resize(std::int32_t width, std::int32_t height) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setEnabled(bool enabled) = 0;
    // Brings the control above its siblings.
    virtual void raiseToTop() = 0;

    // Where it is now: a window's outer rectangle, frame included, on the
    // desktop (the player may have moved it); a control's in the client area.
    virtual Area placement() const = 0;
    // Whether it shows and takes input now, its window included.
    virtual bool isShown() const = 0;
    virtual bool isEnabled() const = 0;
    // Whether it or something inside it has the keyboard focus.
    virtual bool hasFocus() const = 0;
    virtual void takeFocus(FocusReason reason) = 0;
    // A point on the screen in the control's client coordinates.
    virtual std::pair<double, double> clientFromScreen(double x, double y) const = 0;

    // A button's caption, a label's text, an edit box's whole content (the
    // caret then at the start).
    virtual void setText(std::string_view) { }
    // An edit box's content as it shows now.
    virtual std::string text() const { return {}; }
    // At the very end of an edit box's content, whatever is selected.
    virtual void appendText(std::string_view) { }
    // A list box's new last row; its index, or -1 when refused.
    virtual std::int32_t addItem(std::string_view, std::int32_t) { return -1; }
    // A progress bar's range and the position it shows, within the range.
    virtual void setRange(std::int32_t, std::int32_t, std::int32_t) { }
    // A picture box's picture (a null picture shows none), handed over, and
    // its display mode.
    virtual void setPicture(Picture) { }
    virtual void setDisplayMode(std::int32_t) { }
};

// A top-level window; as a control it is the window unit: move and resize
// set its outer place and size, frame included.
class PlatformWindow : public PlatformControl {
public:
    // nullptr when the control cannot be built.
    virtual std::unique_ptr<PlatformControl> createControl(const ControlPlan &plan) = 0;
    virtual void show() = 0;
    // As the player's close button does: asks windowCloseRequested first.
    virtual void close() = 0;
};

// Fires every `period` milliseconds until destroyed. Ticks that fall due
// while the thread is busy do not queue up.
class PlatformTimer {
public:
    virtual ~PlatformTimer() = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Before anything else; may end the process when there is no display.
    virtual void start() = 0;
    // After the last window is gone. `afterFatalError`: the toolkit may be
    // in the middle of delivering an event; leave it standing.
    virtual void shutDown(bool afterFatalError) = 0;

    // The primary screen's area that windows may take, without task bars and
    // docks; it need not start at the desktop's origin.
    virtual Area primaryWorkArea() const = 0;
    // nullptr when the window cannot be built. Its destruction by the
    // player (or by `close`) is reported through windowDestroyed.
    virtual std::unique_ptr<PlatformWindow> createWindow(const WindowPlan &plan) = 0;
    virtual std::unique_ptr<PlatformTimer> startTimer(std::int32_t period, std::function<void()> tick) = 0;

    // Decodes the picture formats the layer leaves to the toolkit.
    virtual PictureReader *pictureReader() = 0;

    // The modal report of a fatal error, owned by no window; returns once the
    // player has seen it.
    virtual void showFatalReport(std::string_view title, std::string_view report) = 0;

    virtual void runLoop() = 0;
    virtual void quitLoop() = 0;
};

// ---- Input, from the backend into the layer ---------------------------
//
// Each gives true when a handler swallowed the input: the backend then drops
// it. Input for a window or control that is not loaded does nothing.

enum class MouseAction { press, release, doubleClick, move };
enum class MouseButton { none, left, right, other };

// At a point on the screen; `control` is the one under the pointer. A
// double click is the second press as the toolkit reports it.
bool deliverMouse(WindowId window, ControlId control, MouseAction action, MouseButton button, double screenX,
    double screenY, std::int32_t keyState);
bool deliverWheel(WindowId window, ControlId control, std::int32_t steps, std::int32_t keyState);
// `code` is the virtual-key code; `typed` the characters a press types into
// the control, in order, each as its GBK code (a Chinese character as lead
// byte * 256 + trail byte), control characters included (Enter 13,
// Backspace 8, Tab 9, Escape 27, Ctrl with a letter 1 to 26); none for a
// release, an Alt chord or a key that types nothing.
bool deliverKey(WindowId window, ControlId control, bool pressed, std::int32_t code, std::int32_t keyState,
    std::span<const std::int32_t> typed);
void deliverFocus(WindowId window, ControlId control, bool gained);
// A button pressed and released over it, by mouse or keyboard.
void deliverClick(WindowId window, ControlId control);

// The window asks to close; false refuses.
bool windowCloseRequested(WindowId window);
// The window is going away; its controls still stand.
void windowDestroyed(WindowId window);
// The window was activated with no control focused.
void windowFocusWanted(WindowId window);
