// SPDX-License-Identifier: MIT
#ifndef LIGHT_H
#define LIGHT_H

#include "Twin.h"
#include <veltrane/core/ObjectList.h>
#include <veltrane/core/Vector.h>
#include <veltrane/world/Object.h>

/// A lamp the player can carry; its shadow form dissolves the shadow obstacles it overlaps.
/// Both forms are SOFT: never an obstacle, but players touching them get collision events.
class Light : public vl::Object, public Twin<Light> {
public:
    Light(bool is_shadow, int x, int y);  ///< the light form also builds the shadow form 7 rows above
    ~Light() override;
    int eventHandler(const vl::Event* p_e) override;  ///< handles nothing: 0 for "shadow", -1 otherwise

    /// Shadow form: dissolves (SPECTRAL, lit) every shadow obstacle it overlaps. Returns a copy of the
    /// obstacles dissolved so far; always empty for the light form.
    vl::ObjectList illuminate();
    /// The light is carried away: both forms go and the dissolved obstacles are given back.
    void pickUp();
    /// Where the level put the light form: a light carried away and put down keeps it.
    vl::Vector getHome() const;
    void setHome(vl::Vector home);  ///< for both forms

private:
    vl::ObjectList m_lit_obstacles;  //!< shadow obstacles this form dissolved; not owned
    vl::Vector m_home;               //!< where the level put the light form
};

#endif
