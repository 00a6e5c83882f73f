// Entry point of the game: registers the resource directories, takes the desktop's display
// mode, starts the Application, puts the flower and the frame-rate counter into the scene and
// runs the main loop. Nothing is torn down: every object lives until the process ends. A game
// started away from its folders says so and ends before it makes a window.
#include "app/Application.h"
#include "app/Log.h"
#include "app/Scene.h"
#include "game/FlowerScene.h"
#include "game/FrameRateDisplay.h"
#include "graphics/GraphicSystem.h"
#include "graphics/Math.h"
#include "platform/platform.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/TextStyle.h"
#include <cstdlib>

namespace {

#ifdef _WIN32
// Explorer, asked to start the exe inside a zip, unpacks the exe alone into a folder of its own.
const char* const MissingFilesAdvice = "Unzip the whole folder, then start pelmora.exe in it.";
#else
const char* const MissingFilesAdvice =
    "Start pelmora in the folder that holds them (cd there first),\n"
    "or use the pelmora command of the installed game.";
#endif

// "textures", "data" or both, as they are missing.
String missingFolders(const DiskDirectory& data, const DiskDirectory& textures) {
    if (!textures.found() && !data.found())
        return "textures and data";
    return textures.found() ? "data" : "textures";
}

// Without its folders the game draws flat shapes and no text, neither the answer nor the verdict:
// nothing to play. The box comes before any window, which as a full-screen one could hide it, and
// names the folder looked in, which a start from a shortcut or from Explorer leaves unknown to the
// player; the log tells it too, as it tells every other trouble of the game.
void tellFilesMissing(const DiskDirectory& data, const DiskDirectory& textures) {
    const String missing = missingFolders(data, textures);
    // A directory that is missing leaves its source serving the working directory.
    const String place = (data.found() ? textures : data).getBasePath();
    Application::instance()->log->write(String("Cannot find ") + missing + " in " + place);
    String caption = String("Pelmora cannot find ") + missing;
    // Not every system's box wraps long lines: none here is wider than a small screen.
    String text = String("Pelmora looked for its folders textures and data in\n") + place +
                  "\n(the folder it was started in) and did not find " + missing + ".\n\n" +
                  MissingFilesAdvice;
    MessageBoxA(nullptr, text.cStr(), caption.cStr(), MB_OK | MB_ICONERROR);
}

int runGame() {
    auto* data = new DiskDirectory("data");
    FileSystem::instance()->addSource("data/", data);
    auto* textures = new DiskDirectory("textures");
    FileSystem::instance()->addSource("textures/", textures);
    if (!data->found() || !textures->found()) {
        tellFilesMissing(*data, *textures);
        return EXIT_FAILURE;
    }

    // The first GraphicSystem call creates the display component and, through it, the
    // Application; both must exist before init creates the window.
    GraphicSystem::instance()->useDesktopMode();
    GraphicSystem::instance()->setVsync(true);
    GraphicSystem::instance()->setDoubleBuffer(true);

    Application* application = Application::instance();
    application->init();

    FlowerScene* flower = new FlowerScene();
    application->scene->add(flower);

    Font* font = Font::load("data/graffiti");
    TextStyle* style = new TextStyle(font, Vector3(1, 0.9f, 0.47f), 32);
    application->scene->add(
        new FrameRateDisplay(FrameRateDisplay::AlignRight, FrameRateDisplay::AlignBottom, style));

    flower->visible = true;
    application->run();
    return 0;
}

} // namespace

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return runGame();
}
#else
int main() {
    return runGame();
}
#endif
