// SPDX-License-Identifier: MIT
#pragma once

// A platform that shows nothing: it keeps what the layer sets and lets a
// test hand in input, so that the layer's own behaviour can be tested
// without a display or a toolkit. Not for the game.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "window/platform.h"

class FakePlatform;

// A control or, with kind window, a window.
class FakeControl : public PlatformWindow {
public:
    FakeControl(FakePlatform &platform, FakeControl *window, ControlPlan plan);
    ~FakeControl() override;

    // PlatformControl
    void move(std::int32_t left, std::int32_t top) override;
    void resize(std::int32_t width, std::int32_t height) override;
    void setVisible(bool visible) override;
    void setEnabled(bool enabled) override;
    void raiseToTop() override;
    Area placement() const override { return { left, top, width, height }; }
    bool isShown() const override;
    bool isEnabled() const override;
    bool hasFocus() const override;
    void takeFocus(FocusReason reason) override;
    std::pair<double, double> clientFromScreen(double x, double y) const override;
    void setText(std::string_view text) override;
    std::string text() const override { return m_text; }
    void appendText(std::string_view text) override;
    std::int32_t addItem(std::string_view text, std::int32_t data) override;
    void setRange(std::int32_t minimum, std::int32_t maximum, std::int32_t position) override;
    void setPicture(Picture picture) override;
    void setDisplayMode(std::int32_t mode) override;

    // PlatformWindow
    std::unique_ptr<PlatformControl> createControl(const ControlPlan &plan) override;
    void show() override;
    void close() override;

    const ControlPlan plan; // as built; a window's ids are `window` and `id`
    std::int32_t left, top, width, height;
    bool visible, enabled = true;
    std::int32_t rangeMinimum = 0, rangeMaximum = 0, rangePosition = 0;
    Picture picture;
    std::int32_t displayMode = 0;
    std::vector<std::string> items;

private:
    FakePlatform &m_platform;
    FakeControl *m_window; // none for a window
    std::string m_text;
};

class FakePlatform : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;

    void start() override;
    void shutDown(bool afterFatalError) override;
    Area primaryWorkArea() const override { return workArea; }
    std::unique_ptr<PlatformWindow> createWindow(const WindowPlan &plan) override;
    std::unique_ptr<PlatformTimer> startTimer(std::int32_t period, std::function<void()> tick) override;
    PictureReader *pictureReader() override { return nullptr; }
    void showFatalReport(std::string_view title, std::string_view report) override;
    void runLoop() override;
    void quitLoop() override;

    // The control built for these ids, or the window for its unit; nullptr
    // when none stands.
    FakeControl *control(WindowId window, ControlId control) const;
    // Ticks every running timer once, in the order they were started.
    void tickTimers();
    std::vector<std::int32_t> runningPeriods() const;

    Area workArea { 0, 0, 1280, 800 };
    // What happened, in order: "start", "window <title>", "control <name>",
    // "show", "destroy <name>", "timer <period>", "report", "loop", "quit",
    // "shut down".
    std::vector<std::string> log;
    std::string lastReport; // GBK
    // Runs inside runLoop, as the player would; the loop then ends.
    std::function<void()> whileLooping;
    FakeControl *focused = nullptr;

private:
    friend class FakeControl;
    struct Timer;
    std::vector<FakeControl *> m_controls;
    std::vector<Timer *> m_timers;
};
