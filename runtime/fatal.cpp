// SPDX-License-Identifier: MIT
#include "fatal.h"

#include <cstdio>
#include <cstdlib>

#include "gbk.h"
#include "rttexts.h"

namespace {

FatalErrorPresenter presenter = nullptr;

void presentOnStandardError(std::int32_t code, Text message)
{
    const std::string report = composeFatalReport(code, message);
    const std::string shown = gbkToUtf8(report).value_or(report);
    std::fputs(shown.c_str(), stderr);
    std::fflush(stderr);
}

} // namespace

void setFatalErrorPresenter(FatalErrorPresenter newPresenter)
{
    presenter = newPresenter;
}

std::string composeFatalReport(std::int32_t code, Text message)
{
    std::string report = rt::reportHeading;
    if (code != 0) {
        report += rt::reportCode;
        report += std::to_string(code);
        report += "\r\n\r\n";
    }
    if (message && *message) {
        report += rt::reportMessage;
        report += message;
        report += "\r\n";
    }
    return report;
}

void reportFatalError(std::int32_t code, Text message)
{
    if (presenter)
        presenter(code, message);
    else
        presentOnStandardError(code, message);
    // Nothing of the game may run on: no exit routine, no static clean-up.
    std::_Exit(-1);
}
