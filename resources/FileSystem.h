// The process-wide resolver of resource names: an ordered list of name prefixes, each served by
// a file source. A name goes, minus its prefix, to every source whose prefix it starts with,
// newest registration first, until one answers.
#pragma once

#include "resources/FileSource.h"
#include <vector>

class FileSystem : public FileSource {
public:
    static FileSystem* instance();

    // Never checked: an equal prefix may be registered again and is then tried first. The
    // source is kept for the rest of the program.
    bool addSource(const String& prefix, FileSource* source);

    bool exists(const String& name) override;
    std::ifstream* openTextRead(const String& name) override;
    std::ofstream* openTextWrite(const String& name) override;
    Stream* openRead(const String& name) override;
    Stream* openWrite(const String& name) override;

private:
    FileSystem() = default;

    struct Entry {
        String prefix;
        FileSource* source;
    };

    // Calls visit(source, rest) for each matching entry, newest first, until it answers true.
    template <typename Visit> bool walk(const String& name, Visit visit);

    std::vector<Entry> entries_; // oldest first; walked from the back
};
