// SPDX-License-Identifier: MIT
#ifndef PLAYER_H
#define PLAYER_H

#include "Twin.h"
#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>
#include <veltrane/world/Object.h>

class KeyGuide;

namespace vl {
class EventCollision;
class EventKeyboard;
}  // namespace vl

/// The character the user steers: a light form, and a shadow form 7 rows above it.
/// Exactly one form is in control: it is HARD and receives the keyboard. A world switch hands
/// control over. Removing either form removes both.
class Player : public vl::Object, public Twin<Player> {
public:
    /// The light form (is_shadow false) also builds the shadow form and the key guide.
    Player(bool is_shadow, vl::Vector position);
    ~Player() override;  ///< a burst of particles unless the level ended; removes the twin
    /// Keyboard, collision and step events: 1. Game events ("shadow", "lever", "end"): 0.
    int eventHandler(const vl::Event* p_e) override;
    /// The form standing on what holds it up, or for the form in control out of sight a marker at the
    /// screen's edge instead.
    int draw() override;
    bool showsLight() const;  ///< the carried light is drawn over the head

    void setHasLight(bool has_light);
    bool hasLight() const;
    bool isInControl() const;
    bool isInAir() const;
    KeyGuide* getKeyGuide() const;  ///< shared by both forms; not owned
    void freezeAnimation();         ///< shows frame 0, stopped
    void startWalkAnimation();      ///< runs the walk, when this form may show walking

    static const float WALK_SPEED;     ///< cells per step
    static const float JUMP_VELOCITY;  ///< rows per step, upwards
    static const float GRAVITY;        ///< rows per step added every unsupported step

private:
    /// The marker's character ('<', '>', '^' or 'v') and cell while the form in control is out of the
    /// view; 0 when it is in sight or not in control.
    char edgeMarker(vl::Vector* p_where) const;
    void coverGaps(vl::Vector picture) const;  ///< blank cells inside the figure's rows, drawn at picture
    void kbd(const vl::EventKeyboard* p_keyboard);
    void walk(int direction);  ///< -1 left, 1 right
    void jump();               ///< if standing
    void takeLight();          ///< picks up the first light touched, noting where it belongs
    void putLightDown();       ///< where it was found, else at the truncated position
    void hit(const vl::EventCollision* p_collision);
    void illuminateAt(vl::Vector where);  ///< every light met there dissolves what it covers
    void step();
    void stepInControl();
    void stepOutOfControl();
    void switchWorld();
    void registerSteps();
    void forBothForms(void (Player::*p_action)());  ///< this form, then the twin if there is one
    void playSound(const char* label) const;
    float halfHeight() const;

    bool m_in_air;               //!< jumping or falling; cleared on landing
    int m_walk_direction;        //!< -1 left, 0 not walking, 1 right
    bool m_in_control;           //!< the user steers this form now
    vl::Vector m_rest_position;  //!< where the light form lands while out of control
    bool m_landed;               //!< the landing has been processed
    vl::Vector m_twin_offset;    //!< subtracted from this position to get the twin's
    bool m_has_light;            //!< carries a light
    KeyGuide* m_p_key_guide;     //!< shared by both forms; not owned
    bool m_level_over;           //!< the level ended: removal shows no effect
    bool m_steps_registered;     //!< already receives step events
    vl::Vector m_light_home;     //!< where the level put the light carried
    vl::Box m_light_home_box;    //!< the light form's box there
    int m_footing_shift;         //!< columns the picture is drawn over, onto what holds the box up
};

#endif
