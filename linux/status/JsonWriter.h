#pragma once

#include <string>
#include <vector>

// Builds one JSON document for the tool's --json output. Strings are escaped as JSON requires,
// after control characters and bytes that are not UTF-8 were escaped as everywhere else, so the
// document is always valid UTF-8. Commas are placed by the writer.
class JsonWriter
{
public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    // Inside an object: the next value's name.
    JsonWriter& Key(const std::string& name);
    JsonWriter& String(const std::string& value);
    JsonWriter& Number(double value); // non-finite numbers become null
    JsonWriter& Integer(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    JsonWriter& OptionalNumber(bool present, double value) { return present ? Number(value) : Null(); }
    JsonWriter& OptionalString(const std::string& value) { return value.empty() ? Null() : String(value); }

    // The document and a line end.
    std::string Text() const { return m_text + "\n"; }

private:
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void BeforeValue();

    std::string m_text;
    std::vector<bool> m_first{true}; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
