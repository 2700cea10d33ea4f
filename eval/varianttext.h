// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "eval/scriptengine.h"

// The text OLE Automation's VariantChangeType to VT_BSTR gives for a value,
// in the US-English locale: integers in plain decimal; reals with 15 (double)
// or 7 (single) significant digits, "1.2E+15" beyond them, no "0" before the
// point (".5"); currency fixed with up to four decimals; empty as "".
// Nothing for a value without a text form. The same bytes whatever locale the
// process has switched to.
[[nodiscard]] std::optional<std::string> variantText(const ScriptValue &value);

// Single and double precision reals and currency: the kinds whose text may
// begin with ".".
[[nodiscard]] bool isRealKind(const ScriptValue &value);

// A real written the way VariantChangeType writes one with `precision`
// significant digits.
[[nodiscard]] std::string realText(double value, int precision);
