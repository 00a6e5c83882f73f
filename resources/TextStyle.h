// A font with a colour and a size: the way game code writes text. The style holds one use of
// its font; a style whose font is null (the font failed to load) draws nothing and measures 0.
#pragma once

#include "graphics/Math.h"
#include "resources/Font.h"

class TextStyle {
public:
    TextStyle(Font* font, const Vector3& colour, float size);
    ~TextStyle();
    TextStyle(const TextStyle&) = delete;
    TextStyle& operator=(const TextStyle&) = delete;

    void draw(float x, float y, const String& text);
    // printf-style; the result is cut to 1023 bytes.
    void drawFormatted(float x, float y, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 4, 5)))
#endif
        ;
    // Width of the first count bytes of text (-1: all of it) at the style's size.
    float width(const String& text, int32_t count = -1) const;
    float getSize() const {
        return size_;
    }
    Font* getFont() const {
        return font_;
    }

private:
    Font* font_;
    Vector3 colour_;
    float size_;
};
