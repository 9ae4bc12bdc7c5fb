// SPDX-License-Identifier: MIT
// The game's entry point: start the engine, run the loop, shut down.
#include "GameManager.h"
#include "LogManager.h"

int main() {
    vl::GameManager& game_manager = vl::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("Error starting game manager");
        game_manager.shutDown();
        return 1;
    }
    vl::LogManager::getInstance().setFlush(true);
    game_manager.run();
    game_manager.shutDown();
    return 0;
}
