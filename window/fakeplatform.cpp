// SPDX-License-Identifier: MIT
#include "fakeplatform.h"

#include <algorithm>

#include "runtime/gbk.h"

struct FakePlatform::Timer : PlatformTimer {
    Timer(FakePlatform &platform, std::int32_t period, std::function<void()> tick)
        : platform(platform)
        , period(period)
        , tick(std::move(tick))
    {
        platform.m_timers.push_back(this);
    }
    ~Timer() override { std::erase(platform.m_timers, this); }

    FakePlatform &platform;
    std::int32_t period;
    std::function<void()> tick;
};

namespace {

std::string readable(std::string_view gbk)
{
    return gbkToUtf8(gbk).value_or(std::string(gbk));
}

} // namespace

FakeControl::FakeControl(FakePlatform &platform, FakeControl *window, ControlPlan plan)
    : plan(std::move(plan))
    , left(this->plan.left)
    , top(this->plan.top)
    , width(this->plan.width)
    , height(this->plan.height)
    , visible(this->plan.visible)
    , rangeMinimum(this->plan.minimum)
    , rangeMaximum(this->plan.maximum)
    , rangePosition(this->plan.minimum)
    , m_platform(platform)
    , m_window(window)
    , m_text(this->plan.text)
{
    platform.m_controls.push_back(this);
}

FakeControl::~FakeControl()
{
    m_platform.log.emplace_back("destroy " + readable(plan.name));
    std::erase(m_platform.m_controls, this);
    if (m_platform.focused == this)
        m_platform.focused = nullptr;
}

void FakeControl::move(std::int32_t newLeft, std::int32_t newTop)
{
    left = newLeft;
    top = newTop;
}

void FakeControl::resize(std::int32_t newWidth, std::int32_t newHeight)
{
    width = newWidth;
    height = newHeight;
}

void FakeControl::setVisible(bool shown)
{
    visible = shown;
}

void FakeControl::setEnabled(bool on)
{
    enabled = on;
}

void FakeControl::raiseToTop() { }

bool FakeControl::isShown() const
{
    return visible && (!m_window || m_window->isShown());
}

bool FakeControl::isEnabled() const
{
    return enabled && (!m_window || m_window->isEnabled());
}

bool FakeControl::hasFocus() const
{
    return m_platform.focused == this;
}

void FakeControl::takeFocus(FocusReason)
{
    m_platform.focused = this;
}

std::pair<double, double> FakeControl::clientFromScreen(double x, double y) const
{
    // The window's client area starts at its outer corner here.
    if (!m_window)
        return { x - left, y - top };
    const auto [clientX, clientY] = m_window->clientFromScreen(x, y);
    return { clientX - left, clientY - top };
}

void FakeControl::setText(std::string_view text)
{
    m_text = text;
}

void FakeControl::appendText(std::string_view text)
{
    m_text += text;
}

std::int32_t FakeControl::addItem(std::string_view text, std::int32_t)
{
    items.emplace_back(text);
    return std::int32_t(items.size()) - 1;
}

void FakeControl::setRange(std::int32_t minimum, std::int32_t maximum, std::int32_t position)
{
    rangeMinimum = minimum;
    rangeMaximum = maximum;
    rangePosition = position;
}

void FakeControl::setPicture(Picture shown)
{
    picture = std::move(shown);
}

void FakeControl::setDisplayMode(std::int32_t mode)
{
    displayMode = mode;
}

std::unique_ptr<PlatformControl> FakeControl::createControl(const ControlPlan &controlPlan)
{
    m_platform.log.emplace_back("control " + readable(controlPlan.name));
    return std::make_unique<FakeControl>(m_platform, this, controlPlan);
}

void FakeControl::show()
{
    m_platform.log.emplace_back("show");
    visible = true;
}

void FakeControl::close()
{
    if (windowCloseRequested(plan.window))
        windowDestroyed(plan.window);
}

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() = default;

void FakePlatform::start()
{
    log.emplace_back("start");
}

void FakePlatform::shutDown(bool)
{
    log.emplace_back("shut down");
}

std::unique_ptr<PlatformWindow> FakePlatform::createWindow(const WindowPlan &windowPlan)
{
    log.emplace_back("window " + readable(windowPlan.title));
    ControlPlan plan;
    plan.window = windowPlan.id;
    plan.id = windowPlan.unit;
    plan.kind = ControlKind::window;
    plan.name = windowPlan.title;
    plan.left = windowPlan.left;
    plan.top = windowPlan.top;
    plan.width = windowPlan.width;
    plan.height = windowPlan.height;
    plan.visible = false;
    plan.text = windowPlan.title;
    return std::make_unique<FakeControl>(*this, nullptr, std::move(plan));
}

std::unique_ptr<PlatformTimer> FakePlatform::startTimer(std::int32_t period, std::function<void()> tick)
{
    log.emplace_back("timer " + std::to_string(period));
    return std::make_unique<Timer>(*this, period, std::move(tick));
}

void FakePlatform::showFatalReport(std::string_view, std::string_view report)
{
    log.emplace_back("report");
    lastReport = report;
}

void FakePlatform::runLoop()
{
    log.emplace_back("loop");
    if (whileLooping)
        whileLooping();
}

void FakePlatform::quitLoop()
{
    log.emplace_back("quit");
}

FakeControl *FakePlatform::control(WindowId window, ControlId control) const
{
    for (FakeControl *c : m_controls)
        if (c->plan.window == window && c->plan.id == control)
            return c;
    return nullptr;
}

void FakePlatform::tickTimers()
{
    // A tick may stop or start timers.
    const std::vector<Timer *> due = m_timers;
    for (Timer *timer : due)
        if (std::find(m_timers.begin(), m_timers.end(), timer) != m_timers.end())
            timer->tick();
}

std::vector<std::int32_t> FakePlatform::runningPeriods() const
{
    std::vector<std::int32_t> periods;
    for (const Timer *timer : m_timers)
        periods.push_back(timer->period);
    return periods;
}
