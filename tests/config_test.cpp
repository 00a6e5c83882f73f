// The configuration reader: well-formed files, malformed lines, quoting and escapes, the typed
// getters' defaults, and lines longer than the reader's buffer.
#include "app/ConfigFile.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

struct Parsed {
    explicit Parsed(const std::string& text) : in(text), config(in) {}
    std::istringstream in;
    ConfigFile config;
};

// The stored value as a std::string, or "<absent>".
std::string value(ConfigFile& config, const char* sectionName, const char* key) {
    const String* found = config.section(sectionName)->get(key);
    return found ? std::string(found->data(), found->length()) : "<absent>";
}

} // namespace

TEST(ConfigStructure, EmptyOrCommentOnlyFileHoldsJustTheUnnamedSection) {
    Parsed empty("");
    EXPECT_EQ(empty.config.sectionCount(), 1);
    EXPECT_TRUE(empty.config.hasSection(""));
    Parsed comments("; one\n# two\n   ; indented\n\n\n");
    EXPECT_EQ(comments.config.sectionCount(), 1);
    EXPECT_EQ(comments.config.section("")->count(), 0);
}

TEST(ConfigStructure, NoStreamMeansNoSectionsAtAll) {
    ConfigFile config;
    EXPECT_EQ(config.sectionCount(), 0);
    EXPECT_EQ(config.section("GraphicSystem")->getInt("width", 640), 640);
    EXPECT_EQ(config.sectionCount(), 1);
}

TEST(ConfigStructure, SettingsBeforeTheFirstHeaderAreUnnamed) {
    Parsed p("top = 1\n[a]\ninner = 2\n");
    EXPECT_EQ(value(p.config, "", "top"), "1");
    EXPECT_EQ(value(p.config, "", "inner"), "<absent>");
    EXPECT_EQ(value(p.config, "a", "inner"), "2");
}

TEST(ConfigStructure, NamesAndKeysIgnoreCaseValuesKeepIt) {
    Parsed p("[GraphicSystem]\nWidth = 800\n[ graphicsystem ]\nwidth=640\nTitle = MiXeD\n");
    EXPECT_EQ(p.config.sectionCount(), 2);
    ConfigSection* section = p.config.section("GRAPHICSYSTEM");
    EXPECT_EQ(section->getInt("WIDTH", 0), 800);
    EXPECT_EQ(value(p.config, "graphicsystem", "title"), "MiXeD");
}

TEST(ConfigStructure, RepeatedHeaderAfterOthersAddsToTheSameSection) {
    Parsed p("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n[  ]\nu=4\n");
    EXPECT_EQ(value(p.config, "a", "x"), "1");
    EXPECT_EQ(value(p.config, "a", "z"), "3");
    EXPECT_EQ(value(p.config, "b", "z"), "<absent>");
    EXPECT_EQ(value(p.config, "", "u"), "4");
}

TEST(ConfigStructure, SectionLookupReturnsTheSameSectionEveryTime) {
    ConfigFile config;
    EXPECT_EQ(config.section("New"), config.section("nEW"));
}

TEST(ConfigMalformed, HeaderWithTrailingBlankIsIgnored) {
    Parsed p("[first]\n[second] \nkey = v\n[third\nother = w\n");
    EXPECT_FALSE(p.config.hasSection("second"));
    EXPECT_FALSE(p.config.hasSection("third"));
    EXPECT_EQ(value(p.config, "first", "key"), "v");
    EXPECT_EQ(value(p.config, "first", "other"), "w");
}

TEST(ConfigMalformed, UnclosedQuoteDropsTheLineOnly) {
    Parsed p("name = \"open\nafter = 1\n");
    EXPECT_EQ(value(p.config, "", "name"), "<absent>");
    EXPECT_EQ(value(p.config, "", "after"), "1");
}

TEST(ConfigSettings, FirstOccurrenceWins) {
    Parsed p("width = 800\nwidth = 640\n");
    EXPECT_EQ(p.config.section("")->getInt("width", 0), 800);
}

TEST(ConfigSettings, KeyAloneKeepsItsTrailingBlanks) {
    Parsed p("  vsync\nlonely   \n");
    EXPECT_EQ(value(p.config, "", "vsync"), "");
    EXPECT_EQ(value(p.config, "", "lonely"), "<absent>");
    EXPECT_EQ(value(p.config, "", "lonely   "), "");
}

TEST(ConfigSettings, CommentMarkInsideALineIsText) {
    Parsed p("depth = 16 ; bits\nempty =\n");
    EXPECT_EQ(value(p.config, "", "depth"), "16 ; bits");
    EXPECT_EQ(p.config.section("")->getInt("depth", -3), -3);
    EXPECT_EQ(value(p.config, "", "empty"), "");
}

TEST(ConfigSettings, ValueStartsAfterTheFirstEquals) {
    Parsed p("a = b = c\n");
    EXPECT_EQ(value(p.config, "", "a"), "b = c");
}

TEST(ConfigQuotes, EscapesAreReplaced) {
    Parsed p("tab = \"a\\tb\"\nmix = \"\\\"q\\\\\\n\\z\"\nend = \"x\\\"\n");
    EXPECT_EQ(value(p.config, "", "tab"), "a\tb");
    EXPECT_EQ(value(p.config, "", "mix"), "\"q\\\nz");
    // The text between the quotes is x and a backslash: a final backslash stays.
    EXPECT_EQ(value(p.config, "", "end"), "x\\");
}

TEST(ConfigQuotes, BoundedByFirstAndLastCharacter) {
    Parsed p("inner = \"a\"b\"\nlone = \"\npair = \"\"\nplain = a\"\n");
    EXPECT_EQ(value(p.config, "", "inner"), "a\"b");
    EXPECT_EQ(value(p.config, "", "lone"), "");
    EXPECT_EQ(value(p.config, "", "pair"), "");
    EXPECT_EQ(value(p.config, "", "plain"), "a\"");
}

TEST(ConfigGetters, IntegersNeedTheWholeValue) {
    Parsed p("a=+7\nb=12abc\nc=0x10\nd=1.5\ne=\nf=-40\ng=99999999999\n");
    ConfigSection* s = p.config.section("");
    EXPECT_EQ(s->getInt("a", 1), 7);
    EXPECT_EQ(s->getInt("b", 1), 1);
    EXPECT_EQ(s->getInt("c", 1), 1);
    EXPECT_EQ(s->getInt("d", 1), 1);
    EXPECT_EQ(s->getInt("e", 1), 0);
    EXPECT_EQ(s->getInt("f", 1), -40);
    EXPECT_EQ(s->getInt("g", 1), INT32_MAX);
    EXPECT_EQ(s->getInt("missing", 9), 9);
}

TEST(ConfigGetters, BooleansKnowTheirWords) {
    Parsed p("a\nb =\nc = ON\nd = 0\ne = No\nf = maybe\n");
    ConfigSection* s = p.config.section("");
    EXPECT_TRUE(s->getBool("a", false));
    EXPECT_TRUE(s->getBool("b", false));
    EXPECT_TRUE(s->getBool("C", false));
    EXPECT_FALSE(s->getBool("d", false));
    EXPECT_TRUE(s->getBool("d", true));
    EXPECT_FALSE(s->getBool("e", true));
    EXPECT_TRUE(s->getBool("f", true));
    EXPECT_FALSE(s->getBool("missing", false));
}

TEST(ConfigLines, CarriageReturnsAndZeroBytesDoNotLeakIntoValues) {
    const char text[] = "[s]\r\nk = v \r\ncut = ab\0cd = x\nnext = 2";
    Parsed p(std::string(text, sizeof text - 1));
    EXPECT_EQ(value(p.config, "s", "k"), "v");
    EXPECT_EQ(value(p.config, "s", "cut"), "ab");
    EXPECT_EQ(value(p.config, "s", "next"), "2");
}

TEST(ConfigLines, OverlongLineIsCutAndParsingGoesOn) {
    const std::string longValue(3000, 'v');
    Parsed p("[s]\nlong = " + longValue + "\nafter = 5\n" + std::string(5000, ' ') + "x=1\n" +
             "last = 6");
    // The setting keeps the part that fits in the 1023-byte line.
    EXPECT_EQ(value(p.config, "s", "long"), std::string(1023 - 7, 'v'));
    EXPECT_EQ(p.config.section("s")->getInt("after", 0), 5);
    EXPECT_EQ(value(p.config, "s", "x"), "<absent>");
    EXPECT_EQ(p.config.section("s")->getInt("last", 0), 6);
}
