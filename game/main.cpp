// SPDX-License-Identifier: MIT
// The game's entry point: find the game's data, start the engine, load the resources, show the title screen,
// play.
#include <cstdio>
#include <cstring>

#include "GameStart.h"
#include "LevelFiles.h"
#include "Resources.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/DataDirectory.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--terminal") == 0) {
            vl::Config::getInstance().setTerminal(true);
        }
    }
    // Every copy of the game's data has its sprites folder: $VELTRANE_DATA, the installed data, or here.
    const vl::DataDirectory data = vl::DataDirectory::find("veltrane", "sprites");
    if (!data.isFound()) {
        std::fprintf(stderr,
                     "Veltrane: cannot find the game's data (sprites/, sounds/, vl-font.ttf). Looked in: %s. "
                     "Set %s to the directory that holds it.\n",
                     data.describePlaces().c_str(), vl::DATA_ENV);
        return 1;
    }
    vl::Config::getInstance().setFontFile(data.file("vl-font.ttf"));
    vl::GameManager& game_manager = vl::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("Error starting game manager");
        game_manager.shutDown();
        return 1;
    }
    vl::LogManager::getInstance().setFlush(true);
    vl::LogManager::getInstance().writeLog(1, "Game data in '%s'.", data.getPath().c_str());
    // A file that does not load is named in the log and on standard error; the game plays on without it.
    loadResources(data.getPath());
    // Likewise a level file; its level cannot be started.
    LevelFiles::getInstance().load(data.getPath());
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    new GameStart();  // the world manager owns it
    game_manager.run();
    game_manager.shutDown();
    return 0;
}
