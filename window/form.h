// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "window/ids.h"
#include "window/lifecycle.h"

// A form: every window's settings and its controls in their defined order,
// and the built-in pictures they name. The program owns its form and hands it
// to startRuntime, which keeps referring to it: it must outlive the run time.
// Names, captions and texts are readable UTF-8; they become GBK when the form
// is resolved.

enum class ControlKind : std::int32_t {
    window,
    button,
    pictureBox,
    editBox,
    listBox,
    progressBar,
    timer,
    transparentLabel,
    scriptComponent,
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// A font of the control's own. No face means the default UI font. The height
// is the character height in pixels (the em, without internal leading).
struct FontData {
    const char *face = nullptr;
    std::int32_t height = 0;
    std::int32_t weight = 400;
};

struct BindingData {
    std::int32_t event;
    const char *handler;
};

struct ControlData {
    ControlKind kind;
    const char *name;
    ControlId id;
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    bool visible = true;
    bool tabStop = false;
    const char *text = nullptr; // caption, content or label text
    FontData font {};
    std::optional<Rgb> textColour {};
    std::int32_t minimum = 0; // a progress bar's range
    std::int32_t maximum = 0;
    const char *picture = nullptr; // alias of a built-in picture
    std::span<const BindingData> bindings {};
};

struct WindowData {
    const char *name;
    WindowId id;
    ControlId unit; // the window's own control identifier
    const char *title;
    std::int32_t width; // outer size, frame included
    std::int32_t height;
    Rgb background;
    std::span<const char *const> icons; // aliases of the built-in icon sizes
    bool escapeCloses;
    std::span<const BindingData> bindings;
    std::span<const ControlData> controls;
};

// A picture file compiled into the program, named by its alias.
struct BuiltinPicture {
    const char *alias;
    std::span<const unsigned char> bytes;
};

struct Form {
    std::span<const WindowData> windows;
    std::span<const BuiltinPicture> pictures;
};

// The form with its references resolved: texts in GBK, built-in pictures
// looked up, handler names bound to handlers.
struct ResolvedControl {
    const ControlData *data = nullptr;
    std::string name; // GBK
    std::string text; // GBK
    std::string fontFace; // GBK; empty for the default UI font
    std::vector<unsigned char> picture; // the built-in picture's bytes
    std::map<std::int32_t, EventHandler> handlers;
};

struct ResolvedWindow {
    const WindowData *data = nullptr;
    std::string title; // GBK
    std::vector<std::vector<unsigned char>> icons;
    std::map<std::int32_t, EventHandler> handlers;
    std::vector<ResolvedControl> controls;
};

// Whether a kind raises events at all.
bool kindRaisesEvents(ControlKind kind);

// What a handler name that the program does not supply means. Only tests
// that bind some of the handlers leave such events unbound.
enum class MissingHandlers { refuse, leaveUnbound };

// nullopt when the form cannot be read: a text with no GBK form, a built-in
// picture that the form does not hold, an identifier used twice, a size below
// zero, a binding to an event the kind does not have, or a handler name that
// `handlers` does not hold (unless `missing` leaves it unbound).
std::optional<std::vector<ResolvedWindow>> resolveForm(const Form &form,
    std::span<const NamedHandler> handlers, MissingHandlers missing = MissingHandlers::refuse);
