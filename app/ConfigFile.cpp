// The configuration parser and its typed getters. Lines are read into a 1024-byte buffer; a
// longer line is cut there and the rest of it skipped, and nothing but the end of the stream
// or a read error ends the parse.
#include "app/ConfigFile.h"

namespace {

const int LineBufferSize = 1024;

String lowered(const String& text) {
    String copy(text);
    copy.toLower();
    return copy;
}

// The text between the quotes of a quoted value, with its backslash escapes replaced.
String unescape(const String& quoted) {
    String result = String::withReserve(quoted.length());
    for (int i = 0; i < quoted.length(); ++i) {
        char byte = quoted[i];
        if (byte == '\\' && i + 1 < quoted.length()) {
            ++i;
            byte = quoted[i];
            if (byte == 'n')
                byte = '\n';
            else if (byte == 't')
                byte = '\t';
        }
        result += String(&byte, 1);
    }
    return result;
}

} // namespace

int32_t ConfigSection::getInt(const String& key, int32_t defaultValue) const {
    const String* value = get(key);
    if (!value)
        return defaultValue;
    String text(*value);
    int32_t number = 0;
    return text.toInt(number) ? number : defaultValue;
}

bool ConfigSection::getBool(const String& key, bool defaultValue) const {
    const String* value = get(key);
    if (!value)
        return defaultValue;
    const String word = lowered(*value);
    if (word.length() == 0 || word == "on" || word == "true" || word == "yes")
        return true;
    if (word == "off" || word == "false" || word == "no")
        return false;
    return defaultValue;
}

const String* ConfigSection::get(const String& key) const {
    const auto found = values_.find(lowered(key));
    return found == values_.end() ? nullptr : &found->second;
}

void ConfigSection::set(const String& lowerKey, const String& value) {
    // Copies nothing when the key is there already.
    values_.try_emplace(lowerKey, value);
}

ConfigFile::ConfigFile(std::istream& in) {
    parse(in);
}

ConfigFile::ConfigFile() = default;

ConfigFile::~ConfigFile() {
    for (auto& entry : sections_)
        delete entry.second;
}

ConfigSection* ConfigFile::section(const String& name) {
    const String key = lowered(name);
    auto found = sections_.find(key);
    if (found != sections_.end())
        return found->second;
    ConfigSection* created = new ConfigSection();
    sections_.emplace(key, created);
    return created;
}

bool ConfigFile::hasSection(const String& name) const {
    return sections_.find(lowered(name)) != sections_.end();
}

void ConfigFile::parse(std::istream& in) {
    ConfigSection* current = section(String());
    String line;
    while (in.good()) {
        readLine(in, line, LineBufferSize);
        // Windows text mode turns CR LF into a newline; do the same where text mode does not,
        // so that a file written on Windows reads alike everywhere.
        if (line.length() > 0 && line[line.length() - 1] == '\r')
            line = line.substr(0, line.length() - 1);
        parseLine(line, current);
    }
}

void ConfigFile::parseLine(String& line, ConfigSection*& current) {
    line.trimLeft();
    if (line.length() == 0)
        return;
    const char first = line[0];
    if (first == ';' || first == '#')
        return;
    if (first == '[') {
        if (line[line.length() - 1] != ']' || line.length() < 2)
            return;
        String name = line.substr(1, line.length() - 2);
        name.trim();
        current = section(name);
        return;
    }
    const int equals = line.find('=');
    String key = equals < 0 ? line : line.substr(0, equals);
    String value = equals < 0 ? String() : line.substr(equals + 1);
    if (equals >= 0) {
        key.trimRight();
        value.trim();
        if (value.length() > 0 && value[0] == '"') {
            // A lone quote is both the opening and the closing one: an empty value.
            if (value[value.length() - 1] != '"')
                return;
            value = value.length() >= 2 ? unescape(value.substr(1, value.length() - 2)) : String();
        }
    }
    key.toLower();
    current->set(key, value);
}
