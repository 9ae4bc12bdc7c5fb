// SPDX-License-Identifier: MIT
#include <veltrane/effects/Particle.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>

#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/Shape.h>
#include <veltrane/world/EventOut.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

namespace {

const float RANDOM_MAX = 32767.0f;

// Refused, it is not in the world any more: it stops counting down instead of asking every step.
void leaveWorld(Object* p_o) {
    if (WorldManager::getInstance().markForDelete(p_o) != 0) {
        p_o->unregisterInterest(STEP_EVENT);
    }
}

// A uniform number from 0 to 1.
float unitRandom() {
    return static_cast<float>(particleRandom()) / RANDOM_MAX;
}

unsigned char clampByte(long long value) {
    return static_cast<unsigned char>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

int clampInt(long long value) {
    return static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
}

// Truncates toward zero like a cast, but gives 0 for NaN and the int limits for values beyond them.
int truncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0f) {
        return INT_MAX;
    }
    if (value <= -2147483648.0f) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace

int particleRandom() {
    // glibc's rand() runs to 2^31 - 1: its top 15 bits give the range the spreads are designed for.
    return std::rand() / (RAND_MAX / 32768 + 1);
}

Particle::Particle(float size, int lifetime, unsigned char opacity, unsigned char r, unsigned char g,
                   unsigned char b)
    : m_lifetime(lifetime) {
    setSolidness(SPECTRAL);
    setType("Particle");
    setAltitude(MAX_ALTITUDE);
    // The id taken by the object constructor goes back, so particles never use ids up.
    setId(0);
    setNextId(getNextId() - 1);
    Shape shape;
    shape.setColor(r, g, b);
    shape.setType(CIRCLE);
    shape.setSize(size);
    shape.setOpacity(opacity);
    setShape(shape);
    if (registerInterest(STEP_EVENT) != 0) {
        LogManager::getInstance().writeLog("Particle: Warning! Particle %p hears no steps and will not fade.",
                                           static_cast<void*>(this));
    }
}

Particle::~Particle() = default;

int Particle::eventHandler(const Event* p_e) {
    if (p_e->getType() == STEP_EVENT) {
        m_lifetime--;
        if (m_lifetime <= 0) {
            leaveWorld(this);
        }
        return 1;
    }
    if (p_e->getType() == OUT_EVENT) {
        leaveWorld(this);
        return 1;
    }
    return 0;
}

int Particle::serialize(std::stringstream& stream, unsigned int attr) {
    LogManager::getInstance().writeLog(
        1, "Particle::serialize(): Warning!  Particles attributes are not serialized.");
    return Object::serialize(stream, attr);
}

int Particle::deserialize(std::stringstream& stream, unsigned int* p_attr) {
    LogManager::getInstance().writeLog(1, "Particle::deserialize(): Warning!  Cannot deserialize particles.");
    return Object::deserialize(stream, p_attr);
}

int Particle::getLifetime() const {
    return m_lifetime;
}

Firework::Firework(float size, int lifetime, unsigned char opacity, unsigned char r, unsigned char g,
                   unsigned char b)
    : Particle(size, lifetime, opacity, r, g, b), m_r(r), m_g(g), m_b(b), m_lifetime(lifetime), m_size(size) {
    setType("Firework");
    setAcceleration(Vector(0, 0.01f));
}

Firework::~Firework() = default;

int Firework::eventHandler(const Event* p_e) {
    const int result = Particle::eventHandler(p_e);
    if (p_e->getType() != STEP_EVENT) {
        return result;
    }
    // A spark every step, the last one included; it stays where it was left.
    Particle* p_spark = new (std::nothrow) Particle(m_size * 0.5f, m_lifetime / 4, 255, m_r, m_g, m_b);
    if (p_spark == nullptr) {
        LogManager::getInstance().writeLog(
            "Firework::eventHandler(): Error!  Unable to create new Particle!");
        return 1;
    }
    p_spark->setPosition(getPosition());
    return 1;
}

int addParticles(int count, Vector position, float position_spread, Vector direction, float direction_spread,
                 float size, float size_spread, float speed, float speed_spread, int lifetime,
                 int lifetime_spread, unsigned char opacity, signed char opacity_spread, unsigned char r,
                 unsigned char g, unsigned char b, unsigned char color_spread, ParticleType type) {
    const LogManager& log = LogManager::getInstance();
    // The draws come in a fixed order, each only when its spread is not 0, so a seed gives one picture.
    for (int i = 0; i < count; i++) {
        long long new_opacity = opacity;
        if (opacity_spread != 0) {
            new_opacity = opacity + particleRandom() % opacity_spread - opacity_spread / 2;
        }
        long long new_lifetime = lifetime;
        if (lifetime_spread != 0) {
            new_lifetime =
                static_cast<long long>(lifetime) + particleRandom() % lifetime_spread - lifetime_spread / 2;
        }
        float new_size = size;
        if (size_spread != 0) {
            new_size = size + unitRandom() * size_spread - size_spread * 0.5f;
        }
        unsigned char new_r = r;
        unsigned char new_g = g;
        unsigned char new_b = b;
        if (color_spread != 0) {
            const int d = particleRandom() % color_spread - color_spread / 2;
            new_r = r != 0 ? clampByte(r + d) : 0;
            new_g = g != 0 ? clampByte(g + d) : 0;
            new_b = b != 0 ? clampByte(b + d) : 0;
        }

        Particle* p_particle = nullptr;
        const unsigned char final_opacity = clampByte(new_opacity);
        const int final_lifetime = clampInt(new_lifetime);
        if (type == PARTICLE) {
            p_particle =
                new (std::nothrow) Particle(new_size, final_lifetime, final_opacity, new_r, new_g, new_b);
        } else if (type == FIREWORK) {
            p_particle =
                new (std::nothrow) Firework(new_size, final_lifetime, final_opacity, new_r, new_g, new_b);
        } else {
            log.writeLog("addParticles(): Type %d not defined.", static_cast<int>(type));
            return -1;
        }
        if (p_particle == nullptr) {
            log.writeLog("addParticles(): Error!  Unable to create new Particle!");
            return -1;
        }

        Vector new_direction = direction;
        if (direction.isZero()) {
            const int x1 = particleRandom();
            const int x2 = particleRandom();
            const int y1 = particleRandom();
            const int y2 = particleRandom();
            new_direction =
                Vector(static_cast<float>(x1 - x2) / RANDOM_MAX, static_cast<float>(y1 - y2) / RANDOM_MAX);
        } else if (direction_spread != 0) {
            const float dx = unitRandom() * direction_spread - direction_spread * 0.5f;
            const float dy = unitRandom() * direction_spread - direction_spread * 0.5f;
            new_direction = Vector(direction.getX() + dx, direction.getY() + dy);
        }
        new_direction.normalize();

        float new_speed = speed;
        if (speed_spread != 0) {
            new_speed = speed + unitRandom() * speed_spread - speed_spread * 0.5f;
        }
        new_direction.scale(new_speed);

        Vector new_position = position;
        if (position_spread != 0) {
            const float dx = unitRandom() * position_spread - position_spread * 0.5f;
            const float dy = unitRandom() * position_spread - position_spread * 0.5f;
            new_position = Vector(position.getX() + dx, position.getY() + dy);
        }
        p_particle->setPosition(new_position);
        p_particle->setVelocity(new_direction);
    }
    return 0;
}

void addParticles(ParticlePreset preset, Vector position, float scale, Color color) {
    struct Preset {
        int count;
        Vector direction;
        float direction_spread;
        float size;
        float size_spread;
        float speed;
        float speed_spread;
        int lifetime;
        int lifetime_spread;
        unsigned char opacity;
        signed char opacity_spread;
        unsigned char r;
        unsigned char g;
        unsigned char b;
        unsigned char color_spread;
        ParticleType type;
    };
    const float s = scale;
    const float burst_speed = (0.25f * s + 1) * 0.08f;
    const float firework_speed = (s / 3 + 1) * 0.1f;
    Preset p{};
    switch (preset) {
    case DRIFT:
        p = {truncateToInt(20 * s),
             Vector(0, -1),
             0.3f * s * 0.5f,
             5 * s / 1.5f,
             0.15f * s,
             0.2f,
             0.05f,
             truncateToInt(20 * s),
             truncateToInt(5 * s),
             128,
             50,
             128,
             128,
             128,
             50,
             PARTICLE};
        break;
    case BURST:
        p = {truncateToInt(50 * s),
             Vector(0, 0),
             0,
             1.5f * s,
             0,
             burst_speed,
             burst_speed,
             truncateToInt(15 * s),
             truncateToInt(15 * s),
             255,
             75,
             255,
             69,
             0,
             0,
             PARTICLE};
        break;
    case RING:
        p = {truncateToInt(50 * s),
             Vector(0, 0),
             0,
             2.5f * s,
             0,
             burst_speed,
             0,
             truncateToInt(10 * s),
             0,
             255,
             75,
             255,
             20,
             147,
             0,
             PARTICLE};
        break;
    case FIREWORKS:
        p = {truncateToInt(4 * s),
             Vector(0, -1),
             1.5f,
             2 * s,
             0,
             firework_speed,
             firework_speed,
             truncateToInt(20 * s),
             truncateToInt(20 * s),
             255,
             75,
             255,
             69,
             0,
             255,
             FIREWORK};
        break;
    default:
        return;
    }
    // Named colours replace the preset's own; CUSTOM and unsupported ones keep it (the latter logged).
    colorToRGB(color, p.r, p.g, p.b);
    addParticles(p.count, position, 0, p.direction, p.direction_spread, p.size, p.size_spread, p.speed,
                 p.speed_spread, p.lifetime, p.lifetime_spread, p.opacity, p.opacity_spread, p.r, p.g, p.b,
                 p.color_spread, p.type);
}

}  // namespace vl
