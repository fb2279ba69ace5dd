#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Float-to-integer conversion with truncation toward zero. NaN and values outside the 32-bit range
// give -2147483648, the value the processor's own conversion produces, but without the undefined
// behaviour of a plain cast.
inline std::int32_t TruncateToInt32(double value)
{
    // The bounds are exact in double: anything strictly between them truncates into range.
    constexpr double kLow = -2147483649.0;
    constexpr double kHigh = 2147483648.0;
    if (!(value > kLow && value < kHigh))
    {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}
