// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Manager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

// A manager that accepts every event type, to exercise the base class alone.
class OpenManager : public vl::Manager {
public:
    OpenManager() { setType("OpenManager"); }
    bool isValid(std::string) const override { return true; }
};

class Listener : public vl::Object {
public:
    explicit Listener(std::vector<std::string>* p_journal = nullptr) : m_p_journal(p_journal) {}
    int eventHandler(const vl::Event* p_e) override {
        received++;
        if (m_p_journal != nullptr) {
            m_p_journal->push_back(std::to_string(getId()) + ":" + p_e->getType());
        }
        if (on_event) {
            on_event();
        }
        return 1;
    }
    int received = 0;
    std::function<void()> on_event;

private:
    std::vector<std::string>* m_p_journal;
};

class ManagerTest : public ::testing::Test {
protected:
    std::string log() const { return m_log.log(); }
    vltest::LoggedConfig m_log{""};
};

vl::Event eventOfType(const std::string& type) {
    vl::Event event;
    event.setType(type);
    return event;
}

}  // namespace

TEST_F(ManagerTest, RegistrationKeepsOneEntryPerObjectAndUnregisteringShiftsLaterTypesDown) {
    OpenManager manager;
    Listener a;
    Listener b;
    Listener asleep;
    EXPECT_EQ(manager.registerInterest(nullptr, "one"), -1);
    for (const char* type : {"one", "one", "two", "three"}) {
        EXPECT_EQ(manager.registerInterest(&a, type), 0);
    }
    EXPECT_EQ(0, manager.registerInterest(&b, "three"));
    EXPECT_EQ(0, manager.registerInterest(&asleep, "three"));
    asleep.setActive(false);
    EXPECT_EQ(manager.unregisterInterest(&a, "one"), 0);
    EXPECT_EQ(manager.getEventCount(), 2);
    for (const char* type : {"one", "missing"}) {
        EXPECT_EQ(manager.unregisterInterest(&a, type), -1);
    }
    EXPECT_EQ(manager.unregisterInterest(&b, "two"), -1);
    const vl::Event two = eventOfType("two");
    const vl::Event three = eventOfType("three");
    const vl::Event nobody = eventOfType("one");
    EXPECT_EQ(manager.onEvent(&two), 1);
    EXPECT_EQ(manager.onEvent(&three), 2);
    EXPECT_EQ(manager.onEvent(&nobody), 0);
    EXPECT_EQ(asleep.received, 0);
    EXPECT_EQ(b.received, 1);
}

TEST_F(ManagerTest, InvalidTypeIsRefusedWithAnAlwaysWrittenMessage) {
    Listener listener;
    vl::GameManager& game = vl::GameManager::getInstance();
    EXPECT_EQ(game.registerInterest(&listener, "vl-collision"), -1);
    EXPECT_NE(
        log().find(
            "Manager(GameManager)::registerInterest(): Event 'vl-collision' not valid for this Manager"),
        std::string::npos);
    const vl::Event collision = eventOfType("vl-collision");
    EXPECT_EQ(game.onEvent(&collision), 0);
    const vl::Event undefined;
    EXPECT_EQ(game.onEvent(&undefined), 0);
    // Both refusals above are level-1 warnings, which the default log level drops.
    EXPECT_EQ(log().find("onEvent"), std::string::npos);
}

TEST_F(ManagerTest, HundredEventTypesAreTheLimitButMoreObjectsMayJoinThem) {
    OpenManager manager;
    Listener a;
    Listener b;
    for (int i = 0; i < vl::MAX_EVENTS; i++) {
        ASSERT_EQ(manager.registerInterest(&a, "type" + std::to_string(i)), 0);
    }
    EXPECT_EQ(manager.registerInterest(&b, "one-too-many"), -1);
    EXPECT_EQ(manager.registerInterest(&b, "type42"), 0);
    const vl::Event event = eventOfType("type42");
    EXPECT_EQ(manager.onEvent(&event), 2);
}

TEST_F(ManagerTest, ChangesMadeDuringDeliveryTakeEffectFromTheNextEvent) {
    OpenManager manager;
    std::vector<std::string> journal;
    Listener first(&journal);
    Listener second(&journal);
    Listener late(&journal);
    EXPECT_EQ(0, manager.registerInterest(&first, "ping"));
    EXPECT_EQ(0, manager.registerInterest(&second, "ping"));
    bool changed = false;
    first.on_event = [&] {
        if (!changed) {
            manager.unregisterInterest(&second, "ping");
            EXPECT_EQ(0, manager.registerInterest(&late, "ping"));
            changed = true;
        }
    };
    const vl::Event ping = eventOfType("ping");
    EXPECT_EQ(manager.onEvent(&ping), 2);
    EXPECT_EQ(manager.onEvent(&ping), 2);
    const std::string f = std::to_string(first.getId());
    const std::string s = std::to_string(second.getId());
    const std::string l = std::to_string(late.getId());
    EXPECT_EQ(journal, (std::vector<std::string>{f + ":ping", s + ":ping", f + ":ping", l + ":ping"}));
}

// Every manager refuses a second start-up with the same warning and stays started.
TEST(Managers, StartingTwiceIsRefusedAndLogged) {
    vltest::HeadlessEngine engine;
    ASSERT_EQ(engine.startUp(), 0);
    vl::LogManager::getInstance().setFlush(true);
    ASSERT_EQ(vl::NetworkManager::getInstance().startUp(), 0);
    vl::Manager* const managers[] = {&vl::LogManager::getInstance(),      &vl::GameManager::getInstance(),
                                     &vl::DisplayManager::getInstance(),  &vl::InputManager::getInstance(),
                                     &vl::ResourceManager::getInstance(), &vl::WorldManager::getInstance(),
                                     &vl::PathManager::getInstance(),     &vl::NetworkManager::getInstance()};
    for (vl::Manager* p_manager : managers) {
        const std::string type = p_manager->getType();
        EXPECT_EQ(p_manager->startUp(), -1) << type;
        EXPECT_TRUE(p_manager->isStarted()) << type;
        EXPECT_EQ(vltest::countOccurrences(engine.log(),
                                           type + "::startup(): Warning! " + type + " already started."),
                  1)
            << type;
    }
    vl::NetworkManager::getInstance().shutDown();
    engine.shutDown();
}
