// SPDX-License-Identifier: MIT
// Linked into every suite that CTest runs a second time under a locale that
// writes decimals with a comma. Creating the application object applies the
// locale from the environment to the C library; when that locale has not been
// generated, glibc quietly keeps "C" and the second run would prove nothing.
// So, once the application object exists, the test stops unless the C library
// really writes a comma.

#include <QCoreApplication>

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

void requireDecimalComma()
{
    if (!std::getenv("KELMORA_EXPECT_DECIMAL_COMMA"))
        return;
    const char *point = std::localeconv()->decimal_point;
    if (std::strcmp(point, ",") != 0) {
        const char *wanted = std::getenv("LC_ALL");
        qFatal("This run needs the locale %s with a decimal comma, but the C library's decimal point is "
               "\"%s\" (locale %s). Generate it with tools/setup.sh.",
            wanted ? wanted : "(LC_ALL not set)", point, std::setlocale(LC_NUMERIC, nullptr));
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(requireDecimalComma)
