// The configuration reader: well-formed files, malformed lines, quoting, the typed getters'
// defaults, and lines longer than the reader's buffer.
#include "app/ConfigFile.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

namespace {

struct Parsed {
    explicit Parsed(const std::string& text) : in(text), config(in) {}
    // The stored value, or "<absent>".
    std::string value(const char* sectionName, const char* key) {
        const String* found = config.section(sectionName)->get(key);
        return found ? std::string(found->data(), found->length()) : "<absent>";
    }
    // Each key of the section against its stored value.
    void expectValues(const char* sectionName,
                      std::initializer_list<std::pair<const char*, std::string>> expected) {
        for (const auto& entry : expected)
            EXPECT_EQ(value(sectionName, entry.first), entry.second)
                << "key \"" << entry.first << '"';
    }
    std::istringstream in;
    ConfigFile config;
};

} // namespace

TEST(ConfigStructure, CommentsOnlyGiveJustTheUnnamedSectionNoStreamGivesNone) {
    Parsed comments("; one\n# two\n   ; indented\n\n");
    EXPECT_EQ(comments.config.sectionCount(), 1);
    EXPECT_EQ(comments.config.section("")->count(), 0);
    ConfigFile none;
    EXPECT_EQ(none.sectionCount(), 0);
    EXPECT_EQ(none.section("GraphicSystem")->getInt("width", 640), 640);
    EXPECT_EQ(none.section("graphicsystem"), none.section("GRAPHICSYSTEM"));
}

TEST(ConfigStructure, SectionsIgnoreCaseRepeatAndFallBackToUnnamed) {
    Parsed p("top = 1\n[GraphicSystem]\nWidth = 800\n[b]\ny=2\n[ graphicsystem ]\nTitle = "
             "MiXeD\n[  ]\nu=4\n");
    EXPECT_EQ(p.value("", "top"), "1");
    EXPECT_EQ(p.config.section("GRAPHICSYSTEM")->getInt("WIDTH", 0), 800);
    EXPECT_EQ(p.value("graphicsystem", "title"), "MiXeD");
    EXPECT_EQ(p.value("", "u"), "4");
    EXPECT_EQ(p.config.sectionCount(), 3);
}

TEST(ConfigMalformed, BadHeadersAndUnclosedQuotesAreDroppedAndParsingGoesOn) {
    Parsed p("[first]\n[second] \nkey = v\n[third\nname = \"open\nother = w\n");
    EXPECT_FALSE(p.config.hasSection("second"));
    EXPECT_FALSE(p.config.hasSection("third"));
    p.expectValues("first", {{"key", "v"}, {"name", "<absent>"}, {"other", "w"}});
}

TEST(ConfigSettings, KeysValuesAndFirstOccurrence) {
    Parsed p("width = 800\nwidth = 640\nlonely   \ndepth = 16 ; bits\na = b = c\nempty =\n");
    p.expectValues("", {{"width", "800"},
                        {"lonely", "<absent>"},
                        {"lonely   ", ""},
                        {"depth", "16 ; bits"},
                        {"a", "b = c"},
                        {"empty", ""}});
}

TEST(ConfigQuotes, EscapesAndBoundsByFirstAndLastCharacter) {
    Parsed p("tab = \"a\\tb\"\nmix = \"\\\"q\\\\\\n\\z\"\nend = \"x\\\"\ninner = \"a\"b\"\n"
             "lone = \"\nplain = a\"\n");
    p.expectValues("", {{"tab", "a\tb"},
                        {"mix", "\"q\\\nz"},
                        {"end", "x\\"},
                        {"inner", "a\"b"},
                        {"lone", ""},
                        {"plain", "a\""}});
}

TEST(ConfigGetters, IntegersNeedTheWholeValueBooleansTheirWords) {
    Parsed p("a=+7\nb=12abc\nc=0x10\ne=\ng=99999999999\nv\nw = ON\nx = 0\ny = No\n");
    ConfigSection* s = p.config.section("");
    EXPECT_EQ(s->getInt("a", 1), 7);
    EXPECT_EQ(s->getInt("b", 1), 1);
    EXPECT_EQ(s->getInt("c", 1), 1);
    EXPECT_EQ(s->getInt("e", 1), 0);
    EXPECT_EQ(s->getInt("g", 1), INT32_MAX);
    EXPECT_TRUE(s->getBool("v", false));
    EXPECT_TRUE(s->getBool("W", false));
    EXPECT_TRUE(s->getBool("x", true));
    EXPECT_FALSE(s->getBool("x", false));
    EXPECT_FALSE(s->getBool("y", true));
    EXPECT_TRUE(s->getBool("missing", true));
}

TEST(ConfigLines, CarriageReturnsZeroBytesAndOverlongLines) {
    const char text[] = "[s]\r\nk = v \r\ncut = ab\0cd = x\n";
    const std::string longValue(3000, 'v');
    Parsed p(std::string(text, sizeof text - 1) + "long = " + longValue + "\nafter = 5\n" +
             std::string(5000, ' ') + "x=1\nlast = 6");
    // The setting keeps the part that fits in the 1023-byte line; the rest is dropped.
    p.expectValues("s", {{"k", "v"},
                         {"cut", "ab"},
                         {"long", std::string(1023 - 7, 'v')},
                         {"after", "5"},
                         {"x", "<absent>"},
                         {"last", "6"}});
}
