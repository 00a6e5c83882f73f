// The parsed "pelmora.conf": named sections of key/value lines. Section names and keys are
// case-insensitive (stored lower-cased), values keep their case. Typed getters answer the
// caller's default for anything absent or unreadable.
#pragma once

#include "app/String.h"
#include <cstdint>
#include <istream>
#include <map>

// One section of the file: its settings in key order. Keys are stored lower-cased.
class ConfigSection {
public:
    int32_t getInt(const String& key, int32_t defaultValue) const;
    bool getBool(const String& key, bool defaultValue) const;
    // The stored value of a key (looked up case-insensitively), null when absent.
    const String* get(const String& key) const;
    int count() const { return static_cast<int>(values_.size()); }

    // Stores the pair unless the key is already there: the first occurrence wins.
    void set(const String& lowerKey, const String& value);

private:
    std::map<String, String> values_;
};

class ConfigFile {
public:
    // Parses the whole stream; reading stops at its end or at a read error.
    explicit ConfigFile(std::istream& in);
    // An empty configuration, for a file that could not be opened: no sections at all.
    ConfigFile();
    ~ConfigFile();

    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Never null: a section missing so far is created empty and kept.
    ConfigSection* section(const String& name);
    int sectionCount() const { return static_cast<int>(sections_.size()); }
    bool hasSection(const String& name) const;

private:
    void parse(std::istream& in);
    void parseLine(String& line, ConfigSection*& current);

    std::map<String, ConfigSection*> sections_;
};
