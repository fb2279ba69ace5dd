#include "app/core/HresultMessage.h"

std::string HresultMessage(const char* message, std::int32_t code)
{
    static const char digits[] = "0123456789abcdef";
    std::uint32_t value = static_cast<std::uint32_t>(code);
    char hex[8];
    int count = 0;
    do
    {
        hex[count++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);

    std::string line = message ? message : "";
    while (count > 0)
        line += hex[--count];
    line += '\n';
    return line;
}
