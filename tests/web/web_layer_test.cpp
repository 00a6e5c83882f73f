// The browser layer's arithmetic that needs no browser: the names of physical keys as USB
// usages of the shared key table, the box filtering behind its gluBuild2DMipmaps, and the shared
// key tracker's release of the keys held when the page loses the keyboard.
#include "platform/platform.h"
#include "platform/shared/keytracker.h"
#include "platform/web/keycodes.h"
#include "platform/web/mipmaps.h"
#include "platform/web/pacing.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

MipImage imageOf(int width, int height, int channels, uint8_t padding) {
    MipImage image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.pixels.assign(size_t(MipImage::rowBytes(width, channels)) * height, padding);
    return image;
}

} // namespace

TEST(WebKeyNames, NameEveryKeyOfTheKeyboardPageOnce) {
    std::set<std::string> names;
    std::set<uint32_t> usages;
    for (size_t i = 0; i < domCodeCount(); ++i) {
        EXPECT_TRUE(names.insert(domCodeAt(i)).second) << domCodeAt(i);
        EXPECT_TRUE(usages.insert(usageOfDomCode(domCodeAt(i))).second) << domCodeAt(i);
    }
    // 0x32, the key beside Return on ISO keyboards, is "Backslash" to the browser too.
    for (uint32_t id = 0x04; id <= 0x65; ++id)
        if (id != 0x32) {
            EXPECT_EQ(usages.count(keyUsage(KeyPageKeyboard, id)), 1u) << std::hex << id;
            EXPECT_NE(keyTableFind(keyUsage(KeyPageKeyboard, id)), nullptr) << std::hex << id;
        }
    for (uint32_t id = 0xE0; id <= 0xE7; ++id)
        EXPECT_EQ(usages.count(keyUsage(KeyPageKeyboard, id)), 1u) << std::hex << id;
    EXPECT_EQ(usageOfDomCode("NoSuchKey"), 0u);
    EXPECT_EQ(usageOfDomCode(nullptr), 0u);
}

TEST(WebKeyNames, GiveTheVirtualKeysAndScanCodesOfWindows) {
    struct Expected {
        const char* code;
        BYTE virtualKey;
        BYTE scanCode;
        bool extended;
    };
    const Expected keys[] = {
        {"Escape", VK_ESCAPE, 0x01, false},
        {"KeyA", 'A', 0x1E, false},
        {"Digit0", '0', 0x0B, false},
        {"Enter", VK_RETURN, 0x1C, false},
        {"NumpadEnter", VK_RETURN, 0x1C, true},
        {"ShiftRight", VK_SHIFT, 0x36, false},
        {"ControlRight", VK_CONTROL, 0x1D, true},
        {"Backquote", VK_OEM_3, 0x29, false},
        {"IntlBackslash", VK_OEM_102, 0x56, false},
        {"ArrowUp", VK_UP, 0x48, true},
        {"Numpad7", VK_NUMPAD7, 0x47, false},
        {"F12", VK_F12, 0x58, false},
    };
    for (const Expected& key : keys) {
        const KeyTableEntry* entry = keyTableFind(usageOfDomCode(key.code));
        ASSERT_NE(entry, nullptr) << key.code;
        EXPECT_EQ(entry->virtualKey, key.virtualKey) << key.code;
        EXPECT_EQ(entry->scanCode, key.scanCode) << key.code;
        EXPECT_EQ(entry->extended, key.extended) << key.code;
    }
}

TEST(WebMipmaps, ScaleToTheNearestPowerOfTwoWithinTheLimit) {
    EXPECT_EQ(nearestPowerOfTwo(1, 4096), 1);
    EXPECT_EQ(nearestPowerOfTwo(256, 4096), 256);
    EXPECT_EQ(nearestPowerOfTwo(3, 4096), 4); // a tie takes the larger
    EXPECT_EQ(nearestPowerOfTwo(5, 4096), 4);
    EXPECT_EQ(nearestPowerOfTwo(90, 4096), 64);
    EXPECT_EQ(nearestPowerOfTwo(100, 4096), 128);
    EXPECT_EQ(nearestPowerOfTwo(3000, 2048), 2048);
    EXPECT_EQ(nearestPowerOfTwo(1500, 1024), 1024);
}

// Rows are padded to 4 bytes: a filter that ignored the padding would read the wrong pixels
// from the second row on, and the padding bytes (0xEE) would leak into the result.
TEST(WebMipmaps, AverageThePixelsTheyReplaceAndSkipRowPadding) {
    MipImage image = imageOf(3, 2, 3, 0xEE); // 9 bytes of pixels in 12-byte rows
    const uint8_t values[2][3] = {{10, 20, 30}, {40, 50, 60}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                image.at(x, y)[c] = uint8_t(values[y][x] + c);

    MipImage one = halveImage(halveImage(image));
    ASSERT_EQ(one.width, 1);
    ASSERT_EQ(one.height, 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(one.at(0, 0)[c], 35 + c); // the mean of all six

    MipImage wider = scaleImage(image, 4, 2);
    ASSERT_EQ(wider.pixels.size(), size_t(12 * 2));
    for (int x = 0; x < 4; ++x) {
        EXPECT_GE(wider.at(x, 1)[0], 40) << x;
        EXPECT_LE(wider.at(x, 1)[0], 60) << x;
    }
    EXPECT_EQ(wider.at(0, 0)[0], 10); // the first new pixel covers only the first old one
    EXPECT_EQ(wider.at(3, 1)[2], 62); // the last, only the last
}

TEST(WebMipmaps, HalveDownToOnePixelKeepingASideOfOne) {
    MipImage image = imageOf(8, 2, 1, 0);
    for (int x = 0; x < 8; ++x)
        image.at(x, 0)[0] = image.at(x, 1)[0] = uint8_t(x * 10);
    std::vector<std::pair<int, int>> sizes;
    while (image.width > 1 || image.height > 1) {
        image = halveImage(image);
        sizes.push_back({image.width, image.height});
    }
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{4, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(image.at(0, 0)[0], 35);
}

// The browser takes one turn in each pass of the main loop (messages until none is left, then a
// frame), whether or not the pass shows its frame: a loop that never gave it a turn would freeze
// the page.
TEST(WebFramePacer, GivesTheBrowserOneTurnInEachPass) {
    for (bool swapped : {true, false}) {
        SCOPED_TRACE(swapped ? "frames shown" : "no frame shown");
        web::FramePacer pacer;
        int turns = 0;
        for (int pass = 0; pass < 3; ++pass) {
            // Two messages wait, then the look that finds none ends the pass.
            for (int waiting = 2; waiting >= 0; --waiting) {
                turns += pacer.turnDue() ? 1 : 0;
                pacer.looking(waiting == 0);
            }
            if (swapped)
                pacer.frameShown();
        }
        EXPECT_EQ(turns, 2); // before the second and the third pass's first look
        EXPECT_TRUE(pacer.turnDue());
    }
}
