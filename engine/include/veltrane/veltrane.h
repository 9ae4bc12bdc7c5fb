// SPDX-License-Identifier: MIT
// The whole engine in one include: every public header of every module.
#ifndef VL_VELTRANE_H
#define VL_VELTRANE_H

#include <veltrane/audio/AudioResource.h>
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>
#include <veltrane/core/Box.h>
#include <veltrane/core/Clock.h>
#include <veltrane/core/Config.h>
#include <veltrane/core/Event.h>
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/LogStreamBuffer.h>
#include <veltrane/core/Manager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>
#include <veltrane/core/Vector.h>
#include <veltrane/effects/EventView.h>
#include <veltrane/effects/Particle.h>
#include <veltrane/effects/ViewObject.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/Color.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Shape.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/input/InputReplay.h>
#include <veltrane/network/EventNetwork.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/platform/DisplayProbe.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/platform/WindowErrors.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/resources/SpriteReader.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/EventOut.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Grid.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/Path.h>
#include <veltrane/world/PathSearches.h>
#include <veltrane/world/SceneGraph.h>
#include <veltrane/world/Solidness.h>
#include <veltrane/world/WorldManager.h>

#endif
