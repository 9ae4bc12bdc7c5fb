// SPDX-License-Identifier: MIT
#ifndef VL_PARTICLE_H
#define VL_PARTICLE_H

#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Color.h>
#include <veltrane/world/Object.h>

namespace vl {

enum ParticleType : int {
    PARTICLE = 0,  ///< Particle
    FIREWORK = 1,  ///< Firework
};

enum ParticlePreset : int {
    DRIFT = 0,      ///< a slow, grey, half-transparent upward drift
    BURST = 1,      ///< every direction, varied speeds and lifetimes
    RING = 2,       ///< every direction at one speed: an expanding ring
    FIREWORKS = 3,  ///< a few fireworks launched upward in a wide fan
};

/// A random number from 0 to 32767, whatever the runtime's RAND_MAX: the particle draws are scaled for
/// that range. One draw of the runtime's generator.
int particleRandom();

/// Short-lived decorative circles, fireworks that trail sparks, and the batches that create them.
/// A spectral circle of size pixels that lives lifetime steps (or until it leaves the world), then marks
/// itself for deletion. Particles have id 0 and give their id back, so they never use ids up.
class Particle : public Object {
public:
    /// A particle of size pixels living lifetime steps, in the colour r, g, b at the opacity.
    Particle(float size, int lifetime, unsigned char opacity, unsigned char r, unsigned char g,
             unsigned char b);
    ~Particle() override;
    int eventHandler(const Event* p_e) override;  ///< counts down on steps; leaves on steps and out events
    /// Only the plain object's attributes travel: the lifetime is not part of the record (logged).
    [[nodiscard]] int serialize(std::stringstream& stream, unsigned int attr = 0) override;
    /// Reads the plain object's attributes.
    [[nodiscard]] int deserialize(std::stringstream& stream, unsigned int* p_attr = nullptr) override;
    int getLifetime() const;  ///< steps still to live

private:
    int m_lifetime;
};

/// A particle that falls under a slight acceleration and leaves a stationary spark of half its size,
/// living a quarter of its lifetime, on every step.
class Firework : public Particle {
public:
    /// A firework particle of size pixels living lifetime steps, in the colour r, g, b at the opacity.
    Firework(float size, int lifetime, unsigned char opacity, unsigned char r, unsigned char g,
             unsigned char b);
    ~Firework() override;
    int eventHandler(const Event* p_e) override;

private:
    unsigned char m_r;
    unsigned char m_g;
    unsigned char m_b;
    int m_lifetime;  //!< as created, for the sparks
    float m_size;    //!< as created, for the sparks
};

/// Creates count particles (nothing when count <= 0) around position. A spread is a uniform random
/// offset centred on its base value; direction (0, 0) picks a random direction. Opacity is clamped to
/// 0..255; a colour component of 0 stays 0. The world owns what is created. 0, or -1 (logged) for an
/// undefined type (nothing created) or when one cannot be allocated (earlier ones stay).
int addParticles(int count, Vector position, float position_spread, Vector direction, float direction_spread,
                 float size, float size_spread, float speed, float speed_spread, int lifetime,
                 int lifetime_spread, unsigned char opacity, signed char opacity_spread, unsigned char r,
                 unsigned char g, unsigned char b, unsigned char color_spread, ParticleType type);

/// One of the presets, scaled by scale, in color (CUSTOM or an unsupported colour: the preset's own).
/// A preset outside 0..3 creates nothing.
void addParticles(ParticlePreset preset, Vector position, float scale, Color color);

}  // namespace vl

#endif
