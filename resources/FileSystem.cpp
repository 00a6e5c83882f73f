// FileSystem: prefix dispatch of resource names to their sources.
#include "resources/FileSystem.h"
#include "resources/Stream.h"
#include <cstring>

FileSystem* FileSystem::instance() {
    static FileSystem* fileSystem = new FileSystem();
    return fileSystem;
}

bool FileSystem::addSource(const String& prefix, FileSource* source) {
    entries_.push_back(Entry{prefix, source});
    return true;
}

template <typename Visit> bool FileSystem::walk(const String& name, Visit visit) {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        int length = entry->prefix.length();
        if (name.length() < length || std::memcmp(name.data(), entry->prefix.data(), length) != 0)
            continue;
        if (visit(entry->source, name.substr(length)))
            return true;
    }
    return false;
}

bool FileSystem::exists(const String& name) {
    return walk(
        name, [](FileSource* source, const String& rest) { return source->exists(rest); });
}

std::ifstream* FileSystem::openTextRead(const String& name) {
    std::ifstream* stream = nullptr;
    walk(name, [&](FileSource* source, const String& rest) {
        return (stream = source->openTextRead(rest)) != nullptr;
    });
    return stream;
}

std::ofstream* FileSystem::openTextWrite(const String& name) {
    std::ofstream* stream = nullptr;
    walk(name, [&](FileSource* source, const String& rest) {
        return (stream = source->openTextWrite(rest)) != nullptr;
    });
    return stream;
}

Stream* FileSystem::openRead(const String& name) {
    Stream* stream = nullptr;
    walk(name, [&](FileSource* source, const String& rest) {
        return (stream = source->openRead(rest)) != nullptr;
    });
    return stream;
}

Stream* FileSystem::openWrite(const String& name) {
    Stream* stream = nullptr;
    walk(name, [&](FileSource* source, const String& rest) {
        return (stream = source->openWrite(rest)) != nullptr;
    });
    return stream;
}
