// SPDX-License-Identifier: MIT
#ifndef OBSTACLE_H
#define OBSTACLE_H

#include <string>

#include "Twin.h"
#include <veltrane/core/Vector.h>
#include <veltrane/world/Object.h>

/// A floor, ledge or wall that exists twice: a light form and a shadow form 7 rows above it.
/// Only the forms of the world now shown are solid. Building the light form builds the shadow
/// form too; the world manager owns both.
class Obstacle : public vl::Object, public Twin<Obstacle> {
public:
    /// label: sprite of the light form ("platform", "long-platform", "wall", "short-wall"); the shadow
    /// form shows label + "-shadow". Position in whole cells.
    Obstacle(std::string label, bool is_shadow, int x, int y);
    ~Obstacle() override;
    /// Steps (only while a lever has registered it) drive a lever move; "shadow" flips solidness.
    /// 1 for a step, 0 otherwise.
    int eventHandler(const vl::Event* p_e) override;
    int draw() override;  ///< in the glow's colour while it looks passable

    void moveTo(vl::Vector target);  ///< slide there at 0.5 cells per step, crushing players on arrival
    void setLit(bool is_lit);        ///< a light dissolved (true) or gave back (false) this shadow form
    bool isLit() const;
    bool isMoving() const;
    bool looksPassable() const;  ///< of the world shown, and not solid now or dissolved by a glow

private:
    int step();
    void crush(vl::Object* p_player);  ///< removes it; the key guide tells how to go on
    void harden();                     ///< HARD, unless a player is still inside

    vl::Vector m_target;   //!< destination of a lever move
    bool m_is_solid;       //!< this form belongs to the world now shown
    bool m_is_moving;      //!< a lever move is under way
    bool m_crush_pending;  //!< on arrival, remove any player under the obstacle
    bool m_is_lit;         //!< a light has dissolved this shadow form
};

#endif
