// The bodies of the fuzz targets: each feeds one input to one of the engine's readers. The
// libFuzzer executables and the replay test in the normal test build call the same functions,
// so an input that once crashed a reader keeps being checked.
#pragma once

#include <cstddef>
#include <cstdint>

void fuzzTextureFile(const uint8_t* data, size_t size);
void fuzzChunkFile(const uint8_t* data, size_t size);
void fuzzFontFile(const uint8_t* data, size_t size);
void fuzzConfigFile(const uint8_t* data, size_t size);
void fuzzMemoryStream(const uint8_t* data, size_t size);
// Through the FileSystem into an OpenGL context (gl_targets.cpp).
void fuzzTextureUpload(const uint8_t* data, size_t size);
void fuzzFontDrawing(const uint8_t* data, size_t size);
// The asset tools' PNG reader (png_target.cpp).
void fuzzPngImage(const uint8_t* data, size_t size);

// The target of that name, or null: "texture", "chunkfile", "font", "config", "memorystream",
// "texture_gl", "font_gl", "png".
using FuzzTarget = void (*)(const uint8_t*, size_t);
FuzzTarget fuzzTargetNamed(const char* name);
