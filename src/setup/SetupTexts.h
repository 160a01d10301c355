#pragma once
// The installer's numbered texts: text n is string base + n of the current language module;
// the built-in English texts have base 5000.

namespace veltrane {

inline constexpr char StringNotFound[] = "*** String not found ***";
// Built-in English text n, or nullptr when the table has none.
const char* BuiltInText(int N);

} // namespace veltrane
