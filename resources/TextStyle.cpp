// TextStyle: drawing and measuring through a font with a fixed colour and size.
#include "resources/TextStyle.h"
#include <cstdarg>
#include <cstdio>

TextStyle::TextStyle(Font* font, const Vector3& colour, float size)
    : font_(font), colour_(colour), size_(size) {
    if (font_ != nullptr)
        font_->addRef();
}

TextStyle::~TextStyle() {
    if (font_ != nullptr)
        font_->release();
}

void TextStyle::draw(float x, float y, const String& text) {
    if (font_ != nullptr)
        font_->drawText(colour_, size_, text, x, y);
}

void TextStyle::drawFormatted(float x, float y, const char* format, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, sizeof(buffer), format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    // A longer result is cut to what the buffer holds.
    if (length > int(sizeof(buffer)) - 1)
        length = int(sizeof(buffer)) - 1;
    draw(x, y, String(buffer, length));
}

float TextStyle::width(const String& text, int32_t count) const {
    return font_ != nullptr ? font_->textWidth(size_, text, count) : 0.0f;
}
