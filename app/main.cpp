// Entry point of the game: registers the resource directories, takes the desktop's display
// mode, starts the Application, puts the flower and the frame-rate counter into the scene and
// runs the main loop. Nothing is torn down: every object lives until the process ends.
#include "app/Application.h"
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

namespace {

int runGame() {
    FileSystem::instance()->addSource("data/", new DiskDirectory("data"));
    FileSystem::instance()->addSource("textures/", new DiskDirectory("textures"));

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
