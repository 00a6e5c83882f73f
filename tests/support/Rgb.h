// A pixel's colour as the tests read it back (a GL framebuffer, a screenshot of the game),
// compared with a tolerance, and the colours the game draws in.
#pragma once

#include <cstdlib>
#include <ostream>

namespace testsupport {

struct Rgb {
    int r, g, b;
};

inline bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

inline std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Each channel within tolerance of the other's.
inline bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// The running answer: "loves" green, "loves not" pink; the verdict's yellow; the flower's centre
// without its texture, a warmer yellow.
constexpr Rgb LovesGreen{0, 255, 0}, LovesNotPink{255, 181, 179};
constexpr Rgb VerdictYellow{255, 255, 0}, FlatCentreYellow{255, 217, 26};

} // namespace testsupport
