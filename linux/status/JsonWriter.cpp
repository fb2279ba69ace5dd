#include "linux/status/JsonWriter.h"

#include "linux/platform/SafeText.h"
#include "linux/status/DaemonStatus.h"

#include <cmath>

namespace
{
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : EscapeControls(text))
    {
        if (c == '"' || c == '\\')
        {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}
} // namespace

void JsonWriter::BeforeValue()
{
    if (m_afterKey)
    {
        m_afterKey = false;
        return;
    }
    if (!m_first.back())
    {
        m_text += ',';
    }
    m_first.back() = false;
}

JsonWriter& JsonWriter::Open(char bracket)
{
    BeforeValue();
    m_text += bracket;
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket)
{
    m_text += bracket;
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& name)
{
    BeforeValue();
    m_text += Quoted(name) + ":";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& value)
{
    BeforeValue();
    m_text += Quoted(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    if (!std::isfinite(value))
    {
        return Null();
    }
    BeforeValue();
    m_text += FormatCelsiusNumber(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value)
{
    BeforeValue();
    m_text += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
    return *this;
}
