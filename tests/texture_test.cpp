// Textures loaded into a real (offscreen Mesa) OpenGL context: parameters, pixels, mipmaps,
// the registry, refused files and their log line, and texture-unit binding.
#include "app/Application.h"
#include "graphics/Extensions.h"
#include "platform/platform.h"
#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/MemoryStream.h"
#include "resources/Texture.h"
#include "resources/formats/GltFormat.h"
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testsupport::makeContext;
using testsupport::pixelAt;
using testsupport::Rgb;

// A 2 x 2 RGBA texture, written out byte by byte from the layout rather than by the format
// library's writer that the other cases use, so that the reader is checked on its own.
const uint8_t HandMadeClampedRgba[] = {'G',  'L',  'T', 'F', // magic
                                       1,    0,    0,   0,   // version
                                       0,    0,    0,   0,   // reserved
                                       0xE1, 0x0D, 0,   0,   // GL_TEXTURE_2D
                                       0x08, 0x19, 0,   0,   // GL_RGBA
                                       0x01, 0x14, 0,   0,   // GL_UNSIGNED_BYTE
                                       0x00, 0x29, 0,   0,   // GL_CLAMP
                                       0,    0,    0,   0,   // reserved
                                       16,   0,    0,   0,   // dataSize
                                       2,    0,    0,   0,   // width
                                       2,    0,    0,   0,   // height
                                       1,    2,    3,   4,   5,  6,  7,  8,
                                       9,    10,   11,  12,  13, 14, 15, 16};

// A texture file made with the format library's writer; dataSize follows the pixels unless set.
struct GltFile {
    formats::GltFileHeader header;
    uint32_t width = 2;
    uint32_t height = 2;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(16, 0xFF);
    int64_t dataSize = -1;

    GltFile() { header.version = 0; }
    std::vector<uint8_t> bytes() const {
        formats::GltImage image;
        image.width = width;
        image.height = height;
        image.pixels = pixels;
        image.dataSize = dataSize < 0 ? uint32_t(pixels.size()) : uint32_t(dataSize);
        return formats::writeGlt(header, image);
    }
};

const char* const Directory = "tex_files";

// Writes tex_files/<name>.glt and answers the resource name that reaches it.
String writeTexture(const std::string& name, const std::vector<uint8_t>& bytes) {
    testsupport::writeFile(std::string(Directory) + "/" + name + ".glt", bytes);
    return String(("tex/" + name).c_str());
}

GLint texParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// A new 2D texture object bound through its handle to the unit asked for.
TextureHandle boundHandle(uint32_t unit) {
    TextureHandle handle;
    handle.target = GL_TEXTURE_2D;
    handle.generate();
    handle.bind(unit);
    return handle;
}

class TextureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        makeContext();
        Application::instance(); // opens pelmora.log here
        mkdir(Directory, 0755);
        FileSystem::instance()->addSource("tex/", new DiskDirectory(Directory));
    }
    void SetUp() override {
        hasARBMultitexture = false;
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    void expectRefused(const String& name) {
        testsupport::expectRefused(Texture::load, "Texture", name);
    }
};

} // namespace

// ---- Loading ---------------------------------------------------------------------------------

TEST_F(TextureTest, ClampedRgbaFileGetsItsWrapModesAndLinearFilters) {
    Texture* texture =
        Texture::load(writeTexture("clamped", std::vector<uint8_t>(std::begin(HandMadeClampedRgba),
                                                                   std::end(HandMadeClampedRgba))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getName(), String("tex/clamped"));
    EXPECT_EQ(texture->getUseCount(), 0);
    EXPECT_NE(texture->getHandle().id, 0u);
    EXPECT_EQ(texture->getHandle().target, GLenum(GL_TEXTURE_2D));
    // Left bound on unit 0 with 2D texturing on.
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), texture->getHandle().id);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    uint8_t texels[16] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(
        std::vector<uint8_t>(texels, texels + 16),
        std::vector<uint8_t>(std::end(HandMadeClampedRgba) - 16, std::end(HandMadeClampedRgba)));
}

TEST_F(TextureTest, SameNameAnswersTheRegisteredObjectWithoutReadingAgain) {
    GltFile file;
    String name = writeTexture("twice", file.bytes());
    Texture* first = Texture::load(name);
    ASSERT_NE(first, nullptr);
    // A broken file under the same name shows that the second request does not read it.
    writeTexture("twice", std::vector<uint8_t>{1, 2, 3});
    EXPECT_EQ(Texture::load(name), first);
    EXPECT_EQ(first->getUseCount(), 0);
}

TEST_F(TextureTest, PixelsReachTheScreenWithTheFirstRowAtTZero) {
    // 4 x 4 texels in 2 x 2 blocks: red, green in the first two rows; blue, white below.
    GltFile file;
    file.width = 4;
    file.height = 4;
    file.pixels.clear();
    const uint8_t colours[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            file.pixels.insert(file.pixels.end(), colours[(y / 2) * 2 + x / 2],
                               colours[(y / 2) * 2 + x / 2] + 4);
    Texture* texture = Texture::load(writeTexture("blocks", file.bytes()));
    ASSERT_NE(texture, nullptr);

    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    texture->getHandle().bind(0);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    texture->getHandle().unbind();
    glFinish();

    EXPECT_EQ(pixelAt(10, 53, 64), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixelAt(53, 53, 64), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(10, 10, 64), (Rgb{0, 0, 255}));
    EXPECT_EQ(pixelAt(53, 10, 64), (Rgb{255, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// The mipmap build replaces level 0: formats with alpha keep it, and GL_LUMINANCE, which has
// none, is built with three components like the colour formats.
TEST_F(TextureTest, MipmapsKeepAlphaAndLuminanceIsBuiltWithThreeComponents) {
    const struct {
        uint32_t format;
        int bytesPerPixel;
        GLint expected;
    } cases[] = {{GL_BGRA_EXT, 4, GL_RGBA},
                 {GL_ALPHA, 1, GL_ALPHA},
                 {GL_LUMINANCE_ALPHA, 2, GL_LUMINANCE_ALPHA},
                 {GL_LUMINANCE, 1, 3}, // the driver answers a component count as given
                 {GL_RGB, 3, 3}};
    for (const auto& c : cases) {
        GltFile file;
        file.header.format = c.format;
        file.width = 4;
        file.height = 4;
        file.pixels.assign(size_t(16 * c.bytesPerPixel), 0x80);
        std::string name = "mip_" + std::to_string(c.format);
        Texture* texture = Texture::load(writeTexture(name, file.bytes()));
        ASSERT_NE(texture, nullptr) << name;
        for (GLint level : {0, 1, 2}) {
            GLint internal = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &internal);
            EXPECT_EQ(internal, c.expected) << name << " level " << level;
        }
    }
}

TEST_F(TextureTest, VersionOneLoadsAndVersionTwoIsRefusedWithItsLogLine) {
    GltFile file;
    file.header.version = 1;
    EXPECT_NE(Texture::load(writeTexture("version1", file.bytes())), nullptr);
    file.header.version = 2;
    expectRefused(writeTexture("version2", file.bytes()));
}

TEST_F(TextureTest, RefusedFileIsNotRememberedAndLoadsOnceRepaired) {
    GltFile file;
    file.header.magic = 0x46544C48;
    String name = writeTexture("repaired", file.bytes());
    expectRefused(name);
    file.header.magic = formats::GltMagic;
    writeTexture("repaired", file.bytes());
    EXPECT_NE(Texture::load(name), nullptr);
}

TEST_F(TextureTest, MissingFileAndOtherTargetsAreRefused) {
    expectRefused("tex/no_such_texture");
    expectRefused("elsewhere/no_prefix");
    GltFile file;
    file.header.target = GL_TEXTURE_1D;
    expectRefused(writeTexture("one_d", file.bytes()));
}

// ---- Damaged files ---------------------------------------------------------------------------

TEST_F(TextureTest, FilesShorterThanTheirHeadersOrDataAreRefused) {
    std::vector<uint8_t> whole = GltFile().bytes();
    expectRefused(
        writeTexture("short_header", std::vector<uint8_t>(whole.begin(), whole.begin() + 27)));
    expectRefused(writeTexture("short_image_header",
                               std::vector<uint8_t>(whole.begin(), whole.begin() + 40)));
    expectRefused(writeTexture("short_data", std::vector<uint8_t>(whole.begin(), whole.end() - 1)));
}

// OpenGL and the mipmap build read every row padded to four bytes but the last: exactly those
// bytes load, one fewer is refused.
TEST_F(TextureTest, DataOneByteShortOfWhatOpenGLReadsIsRefused) {
    const struct {
        uint32_t format, width, height, needed;
    } cases[] = {{GL_RGBA, 2, 2, 16},
                 {GL_RGB, 3, 2, 12 + 9},
                 {GL_LUMINANCE, 5, 3, 8 + 8 + 5},
                 {GL_RGB, 16, 8, 8 * 48}};
    for (const auto& c : cases) {
        GltFile file;
        file.header.format = c.format;
        file.width = c.width;
        file.height = c.height;
        file.pixels.assign(c.needed, 0x80);
        const std::string name = std::to_string(c.format) + "_" + std::to_string(c.width);
        EXPECT_NE(Texture::load(writeTexture("exact_" + name, file.bytes())), nullptr) << name;
        GLint levelOneWidth = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
        EXPECT_GT(levelOneWidth, 0) << name << ": no mipmaps";
        file.pixels.pop_back();
        expectRefused(writeTexture("short_" + name, file.bytes()));
    }
    GltFile file;
    file.header.type = 0x1234; // a type whose size is unknown
    expectRefused(writeTexture("unknown_type", file.bytes()));
}

// OpenGL answers these with an empty texture, or refuses the upload while the mipmap build
// still runs: either way the shape would draw white instead of the game's fallback colour.
TEST_F(TextureTest, FilesOpenGLWouldTurnIntoEmptyTexturesAreRefused) {
    GltFile file;
    file.width = 0;
    expectRefused(writeTexture("zero_width", file.bytes()));
    file.width = 2;
    file.height = 0;
    expectRefused(writeTexture("zero_height", file.bytes()));
    file.height = 2;
    for (uint32_t format : {GL_COLOR_INDEX, GL_STENCIL_INDEX}) {
        file.header.format = format;
        expectRefused(writeTexture("no_internal_format_" + std::to_string(format), file.bytes()));
    }
    file.header.format = GL_RGBA;
    file.header.type = GL_UNSIGNED_SHORT_5_6_5; // a packed type for three components
    expectRefused(writeTexture("packed_mismatch", file.bytes()));
}

TEST_F(TextureTest, UploadRefusedByOpenGLFailsTheLoadWithItsLogLine) {
    // Twice the widest texture the driver takes: a file that no check can fault.
    GltFile file;
    file.header.format = GL_ALPHA;
    file.width = uint32_t(integer(GL_MAX_TEXTURE_SIZE)) * 2;
    file.height = 1;
    file.pixels.assign(file.width, 0x80);
    expectRefused(writeTexture("too_wide", file.bytes()));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // An error left over from before the load is not taken for the upload's.
    glEnable(0x1234);
    EXPECT_NE(Texture::load(writeTexture("after_error", GltFile().bytes())), nullptr);
}

TEST(TexturePixelBytesTest, RowsArePaddedToFourBytesExceptTheLast) {
    using formats::gltPixelBytes;
    EXPECT_EQ(gltPixelBytes(GL_RGB, GL_UNSIGNED_BYTE, 3, 2), 12 + 9);
    EXPECT_EQ(gltPixelBytes(GL_RGBA, GL_UNSIGNED_BYTE, 2, 2), 16);
    EXPECT_EQ(gltPixelBytes(GL_ALPHA, GL_UNSIGNED_BYTE, 5, 3), 8 + 8 + 5);
    EXPECT_EQ(gltPixelBytes(GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 3, 2), 8 + 6);
    EXPECT_EQ(gltPixelBytes(GL_RGBA, GL_FLOAT, 3, 2), 96);
    EXPECT_EQ(gltPixelBytes(GL_RGBA, GL_UNSIGNED_BYTE, 0, 5), 0);
    EXPECT_EQ(gltPixelBytes(0x1234, GL_UNSIGNED_BYTE, 2, 2), -1);
    EXPECT_GT(gltPixelBytes(GL_RGBA, GL_FLOAT, 0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFFLL);
}

TEST(TextureReaderTest, DataSizeBeyondTheStreamIsRefusedBeforeAllocating) {
    GltFile file;
    file.dataSize = 0xFFFFFFF0u;
    std::vector<uint8_t> bytes = file.bytes();
    MemoryStream stream(bytes.data(), int32_t(bytes.size()));
    StreamSource source(stream);
    formats::GltFileHeader header;
    formats::GltImage image;
    formats::Verdict verdict = formats::readGlt(source, header, image);
    EXPECT_FALSE(verdict);
    EXPECT_EQ(verdict.reason(), "dataSize 4294967280 but only 16 bytes follow the header");
    EXPECT_TRUE(image.pixels.empty());
}

// ---- Texture units ---------------------------------------------------------------------------

TEST_F(TextureTest, BindBeyondTheUnitCountChangesNothing) {
    hasARBMultitexture = true;
    ext::glActiveTextureARB = PFNGLACTIVETEXTUREARBPROC(wglGetProcAddress("glActiveTextureARB"));
    TextureHandle handle = boundHandle(1);
    EXPECT_EQ(handle.unit, 1u);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), handle.id);
    ASSERT_GT(TextureHandle::unitCount, 1);

    // Unbinding acts on the active unit and then selects unit 0.
    handle.unbind();
    EXPECT_EQ(handle.unit, 0u);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE0);

    handle.bind(uint32_t(TextureHandle::unitCount));
    handle.bind(0xFFFFFFFFu);
    EXPECT_EQ(handle.unit, 0u);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    handle.destroy();
    hasARBMultitexture = false;
}

TEST_F(TextureTest, WithoutMultitextureTheUnitIsIgnored) {
    TextureHandle handle = boundHandle(5);
    EXPECT_EQ(handle.unit, 0u);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), handle.id);
    handle.unbind();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLuint id = handle.id;
    handle.destroy();
    EXPECT_EQ(handle.id, id);
    EXPECT_FALSE(glIsTexture(id));
}

// ---- The game's own textures -----------------------------------------------------------------

TEST_F(TextureTest, GameTexturesLoad) {
    FileSystem::instance()->addSource("gametextures/",
                                      new DiskDirectory(PELMORA_BINARY_DIR "/textures"));
    for (const char* name : {"petal", "center", "bg1", "logo", "cursor"}) {
        Texture* texture = Texture::load(String("gametextures/w_tavelina/") + String(name));
        ASSERT_NE(texture, nullptr) << name;
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_GT(width, 0) << name;
    }
}
