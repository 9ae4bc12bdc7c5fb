// SPDX-License-Identifier: MIT
#ifndef SWITCH_H
#define SWITCH_H

#include <string>

#include "Twin.h"
#include <veltrane/core/Vector.h>
#include <veltrane/world/Object.h>

class Obstacle;

/// A lever: slides one obstacle pair between two places when a player pulls it with E.
/// Two forms like everything else; only the form of the world now shown listens to the keyboard.
/// Frame 0 of the sprite shows off, frame 1 on.
class Switch : public vl::Object, public Twin<Switch> {
public:
    /// p_target: the light form of the obstacle to move (not owned). off and on: where the target's
    /// light form goes when the lever is switched off or on. The light form builds the shadow form.
    Switch(std::string label, bool is_shadow, int x, int y, vl::Vector off_position, vl::Vector on_position,
           Obstacle* p_target);
    ~Switch() override;
    int eventHandler(const vl::Event* p_e) override;  ///< 1 for keyboard events, 0 otherwise
    void pull();                                      ///< works the lever if a player overlaps it
    bool wouldCrush() const;  ///< the next pull lands the target where a player stands now

    bool isOn() const;
    bool isUsable() const;  ///< listens to the keyboard: its world is shown

private:
    Obstacle* m_p_target;  //!< light form of the obstacle moved; not owned
    bool m_is_on;          //!< lever state, the same in both forms
    vl::Vector m_off_position;
    vl::Vector m_on_position;
    bool m_is_usable;  //!< belongs to the world now shown
};

#endif
