#pragma once

struct sqlite3;

namespace varnock {

// Registers the scaled arithmetic functions on one SQLite connection. Scaled values are
// INTEGER ten-thousandths (Decimal::raw()).
//   SMUL(a, b, d)  a × b, rounded half away from zero to d decimals (0–4), scaled result
//   SDIV(a, b, d)  a ÷ b, rounded likewise; NULL when b is 0 or NULL
//   SROUND(a, d)   a rounded to d decimals
// A NULL argument gives NULL; an overflow raises an SQL error rather than wrapping, its text
// ending in OverflowMessage.
void registerScaledFunctions(sqlite3 *handle);

inline constexpr char OverflowMessage[] = "numeric overflow";

} // namespace varnock
