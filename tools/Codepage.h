// Single-byte code pages that fonts are baked for: byte to Unicode code point.
#pragma once

#include <cstdint>
#include <string>

// Answers false for a code page the tools do not know.
bool findCodepage(const std::string& name, const uint16_t*& upperHalf);

// The Unicode code point of a byte, 0 when the byte is not a printable character.
uint32_t codepageCharacter(const uint16_t* upperHalf, uint8_t byte);
