// SPDX-License-Identifier: MIT
// The game's entry point: start the engine, load the game's resources, show the title screen, play.
#include "GameStart.h"
#include "Resources.h"
#include <cstring>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--terminal") == 0) {
            vl::Config::getInstance().setTerminal(true);
        }
    }
    vl::GameManager& game_manager = vl::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("Error starting game manager");
        game_manager.shutDown();
        return 1;
    }
    vl::LogManager::getInstance().setFlush(true);
    // A file that does not load is named in the log and on standard error; the game plays on without it.
    loadResources();
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    new GameStart();  // the world manager owns it
    game_manager.run();
    game_manager.shutDown();
    return 0;
}
