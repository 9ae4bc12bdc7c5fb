// SPDX-License-Identifier: MIT
// The game's entry point: start the engine, load the game's resources, show the title screen, play.
#include "DisplayManager.h"
#include "GameManager.h"
#include "GameStart.h"
#include "LogManager.h"
#include "Resources.h"

int main() {
    vl::GameManager& game_manager = vl::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("Error starting game manager");
        game_manager.shutDown();
        return 1;
    }
    vl::LogManager::getInstance().setFlush(true);
    if (loadResources() != 0) {
        // Objects without their pictures would be invisible yet solid: not a game anyone could play.
        vl::LogManager::getInstance().writeLog("Error loading the game's sprites");
        game_manager.shutDown();
        return 1;
    }
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    new GameStart();  // the world manager owns it
    game_manager.run();
    game_manager.shutDown();
    return 0;
}
