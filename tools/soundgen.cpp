// SPDX-License-Identifier: MIT
// Synthesises the game's sound effects and its two looping music pieces as 16-bit 44.1 kHz WAV
// files. Everything is computed here from fixed seeds, so every run writes identical files.
//
// Usage: soundgen OUTPUT_DIR [NAME...]
// Names: jump shadowswitch light switch levelcomplete Ember Ghosts (default: all of them).
//
// Music is rendered on a circular timeline: a note that rings past the end of the loop carries
// on at its start, and every filter, delay and reverb runs over the loop twice, keeping only the
// second pass, so the last sample leads into the first exactly as any two neighbours do.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;
constexpr double TWO_PI = 2.0 * PI;

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

double clamp(double x, double lo, double hi) {
    return std::min(std::max(x, lo), hi);
}

// Smooth 0..1 ramp with zero slope at both ends.
double smoothStep(double x) {
    x = clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

// xorshift64*: small, fast and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    double uniform() {  // [0, 1)
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        const std::uint64_t x = m_state * 0x2545F4914F6CDD1DULL;
        return static_cast<double>(x >> 11) * (1.0 / 9007199254740992.0);
    }
    double bipolar() { return 2.0 * uniform() - 1.0; }  // [-1, 1)

private:
    std::uint64_t m_state;
};

// ---- building blocks --------------------------------------------------------

// Correction that removes most aliasing from a hard edge at phase 0 (t and dt in cycles).
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class SawOsc {
public:
    explicit SawOsc(double phase = 0.0) : m_phase(phase) {}
    double tick(double hz) {
        const double dt = hz / RATE;
        const double out = 2.0 * m_phase - 1.0 - polyBlep(m_phase, dt);
        m_phase += dt;
        m_phase -= std::floor(m_phase);
        return out;
    }

private:
    double m_phase;
};

class SquareOsc {
public:
    double tick(double hz) {
        const double dt = hz / RATE;
        double out = m_phase < 0.5 ? 1.0 : -1.0;
        out += polyBlep(m_phase, dt);
        double half = m_phase + 0.5;
        half -= std::floor(half);
        out -= polyBlep(half, dt);
        m_phase += dt;
        m_phase -= std::floor(m_phase);
        return out;
    }

private:
    double m_phase = 0.0;
};

// State-variable filter (trapezoidal integration): stable under fast cutoff changes.
class Svf {
public:
    struct Out {
        double low;
        double band;
        double high;
    };
    void setup(double cutoff_hz, double q) {
        const double g = std::tan(PI * clamp(cutoff_hz, 10.0, 0.45 * RATE) / RATE);
        m_k = 1.0 / q;
        m_a1 = 1.0 / (1.0 + g * (g + m_k));
        m_a2 = g * m_a1;
        m_a3 = g * m_a2;
    }
    Out tick(double x) {
        const double v3 = x - m_ic2;
        const double v1 = m_a1 * m_ic1 + m_a2 * v3;
        const double v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
        m_ic1 = 2.0 * v1 - m_ic1;
        m_ic2 = 2.0 * v2 - m_ic2;
        return {v2, v1, x - m_k * v1 - v2};
    }

private:
    double m_k = 1.0;
    double m_a1 = 0.0;
    double m_a2 = 0.0;
    double m_a3 = 0.0;
    double m_ic1 = 0.0;
    double m_ic2 = 0.0;
};

class OnePole {
public:
    void setup(double cutoff_hz) { m_a = 1.0 - std::exp(-TWO_PI * cutoff_hz / RATE); }
    double tick(double x) {
        m_y += m_a * (x - m_y);
        return m_y;
    }

private:
    double m_a = 1.0;
    double m_y = 0.0;
};

// Attack (smooth), exponential decay to the sustain level while held, exponential release.
struct Envelope {
    double attack;   // seconds
    double decay;    // time constant, seconds
    double sustain;  // 0..1
    double release;  // time constant, seconds

    double held(double t) const {
        if (t < attack) {
            return smoothStep(t / attack);
        }
        return sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
    }
    double at(double t, double hold) const {
        if (t < hold) {
            return held(t);
        }
        return held(hold) * std::exp(-(t - hold) / release);
    }
    // Seconds until the release has faded to silence (about -60 dB).
    double length(double hold) const { return hold + 7.0 * release; }
};

// Gain that brings the last few milliseconds of a voice down to exactly zero.
double tailFade(double t, double length) {
    const double fade = 0.004;
    return length - t < fade ? smoothStep((length - t) / fade) : 1.0;
}

// ---- mixing -----------------------------------------------------------------

struct Stereo {
    std::vector<double> left;
    std::vector<double> right;
    explicit Stereo(std::size_t n = 0) : left(n, 0.0), right(n, 0.0) {}
    std::size_t size() const { return left.size(); }
};

// Where a voice goes: level, position (-1 left .. 1 right) and effect sends.
struct Channel {
    double gain;
    double pan;
    double delay_send;
    double reverb_send;
};

// Runs step(i, keep) over 0..n-1; for a loop, first once without keeping the results, so that
// recursive effects enter the kept pass in the state the loop's own end leaves them in.
void runCircular(std::size_t n, bool is_loop, const std::function<void(std::size_t, bool)>& step) {
    if (is_loop) {
        for (std::size_t i = 0; i < n; ++i) {
            step(i, false);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        step(i, true);
    }
}

// Parallel damped combs into series allpasses, with different lengths in each channel.
void applyReverb(const Stereo& in, Stereo& out, bool is_loop, double feedback, double damping) {
    static const int COMBS[8] = {1103, 1181, 1259, 1327, 1409, 1493, 1571, 1637};
    static const int ALLPASSES[4] = {557, 443, 347, 229};
    const int spread = 29;
    struct Line {
        std::vector<double> data;
        std::size_t pos = 0;
        double state = 0.0;
    };
    std::vector<Line> combs(16);
    std::vector<Line> allpasses(8);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 8; ++i) {
            combs[static_cast<std::size_t>(c * 8 + i)].data.assign(
                static_cast<std::size_t>(COMBS[i] + c * spread), 0.0);
        }
        for (int i = 0; i < 4; ++i) {
            allpasses[static_cast<std::size_t>(c * 4 + i)].data.assign(
                static_cast<std::size_t>(ALLPASSES[i] + c * spread), 0.0);
        }
    }
    runCircular(in.size(), is_loop, [&](std::size_t i, bool keep) {
        const double x = 0.5 * (in.left[i] + in.right[i]) * 0.2;
        double result[2];
        for (int c = 0; c < 2; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 8; ++k) {
                Line& line = combs[static_cast<std::size_t>(c * 8 + k)];
                const double y = line.data[line.pos];
                line.state = y * (1.0 - damping) + line.state * damping;
                line.data[line.pos] = x + line.state * feedback;
                line.pos = (line.pos + 1) % line.data.size();
                sum += y;
            }
            for (int k = 0; k < 4; ++k) {
                Line& line = allpasses[static_cast<std::size_t>(c * 4 + k)];
                const double buffered = line.data[line.pos];
                const double y = buffered - sum;
                line.data[line.pos] = sum + buffered * 0.5;
                line.pos = (line.pos + 1) % line.data.size();
                sum = y;
            }
            result[c] = sum;
        }
        if (keep) {
            out.left[i] += result[0];
            out.right[i] += result[1];
        }
    });
}

// Ping-pong echo: repeats alternate sides and lose their highs on every pass.
void applyDelay(const Stereo& in, Stereo& out, bool is_loop, std::size_t delay_samples, double feedback) {
    std::vector<double> left(delay_samples, 0.0);
    std::vector<double> right(delay_samples, 0.0);
    std::size_t pos = 0;
    OnePole tone_l;
    OnePole tone_r;
    tone_l.setup(3200.0);
    tone_r.setup(3200.0);
    runCircular(in.size(), is_loop, [&](std::size_t i, bool keep) {
        const double echo_l = left[pos];
        const double echo_r = right[pos];
        left[pos] = tone_l.tick(0.5 * (in.left[i] + in.right[i]) + echo_r * feedback);
        right[pos] = tone_r.tick(echo_l * feedback);
        pos = (pos + 1) % delay_samples;
        if (keep) {
            out.left[i] += echo_l;
            out.right[i] += echo_r;
        }
    });
}

// The buffers voices write into. In a loop, writes past the end wrap round to the start;
// otherwise they are dropped.
class Mix {
public:
    Mix(std::size_t length, bool is_loop)
        : m_dry(length), m_delay(length), m_reverb(length), m_is_loop(is_loop) {}

    std::size_t getLength() const { return m_dry.size(); }
    bool isLoop() const { return m_is_loop; }

    void add(const Channel& channel, std::size_t index, double sample) {
        const double angle = (clamp(channel.pan, -1.0, 1.0) + 1.0) * PI / 4.0;
        addStereo(channel, index, sample * std::cos(angle) * std::sqrt(2.0),
                  sample * std::sin(angle) * std::sqrt(2.0));
    }

    void addStereo(const Channel& channel, std::size_t index, double left, double right) {
        if (index >= getLength()) {
            if (!m_is_loop) {
                return;
            }
            index %= getLength();
        }
        left *= channel.gain;
        right *= channel.gain;
        m_dry.left[index] += left;
        m_dry.right[index] += right;
        m_delay.left[index] += left * channel.delay_send;
        m_delay.right[index] += right * channel.delay_send;
        m_reverb.left[index] += left * channel.reverb_send;
        m_reverb.right[index] += right * channel.reverb_send;
    }

    // Runs the echo (which also feeds the reverb) and the reverb; returns the whole mix.
    Stereo finish(std::size_t delay_samples, double delay_feedback, double reverb_feedback,
                  double reverb_damping) {
        Stereo echoes(getLength());
        applyDelay(m_delay, echoes, m_is_loop, delay_samples, delay_feedback);
        Stereo out = m_dry;
        for (std::size_t i = 0; i < getLength(); ++i) {
            out.left[i] += echoes.left[i];
            out.right[i] += echoes.right[i];
            m_reverb.left[i] += 0.5 * echoes.left[i];
            m_reverb.right[i] += 0.5 * echoes.right[i];
        }
        applyReverb(m_reverb, out, m_is_loop, reverb_feedback, reverb_damping);
        return out;
    }

private:
    Stereo m_dry;
    Stereo m_delay;
    Stereo m_reverb;
    bool m_is_loop;
};

std::size_t toSamples(double seconds) {
    return static_cast<std::size_t>(std::llround(std::max(0.0, seconds) * RATE));
}

// Renders a mono voice: sample(t) for t in seconds from its start, until length seconds.
void renderVoice(Mix& mix, const Channel& channel, std::size_t start, double length,
                 const std::function<double(double)>& sample) {
    const std::size_t n = toSamples(length);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / RATE;
        mix.add(channel, start + i, sample(t) * tailFade(t, length));
    }
}

// ---- instruments --------------------------------------------------------------

// Warm pad: three slightly detuned saws per note through a gently moving low-pass filter.
// lfo(index) gives the filter movement (around 1) at an absolute sample index.
void playPad(Mix& mix, const Channel& channel, std::size_t start, double hold, double note, double velocity,
             double brightness, const Envelope& env, Random& random,
             const std::function<double(std::size_t)>& lfo) {
    const double hz = midiToHz(note);
    const double hz_low = hz * std::pow(2.0, -0.07 / 12.0);  // detuned by a few cents either way
    const double hz_high = hz * std::pow(2.0, 0.075 / 12.0);
    SawOsc saws[3] = {SawOsc(random.uniform()), SawOsc(random.uniform()), SawOsc(random.uniform())};
    Svf filter_l;
    Svf filter_r;
    const double length = env.length(hold);
    const std::size_t n = toSamples(length);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / RATE;
        const double e = env.at(t, hold);
        if (i % 32 == 0) {
            const double cutoff = hz * brightness * (0.55 + 0.45 * e) * lfo(start + i);
            filter_l.setup(cutoff, 0.6);
            filter_r.setup(cutoff * 1.03, 0.6);
        }
        const double a = saws[0].tick(hz_low);
        const double b = saws[1].tick(hz);
        const double c = saws[2].tick(hz_high);
        const double gain = e * velocity * tailFade(t, length) / 3.0;
        mix.addStereo(channel, start + i, filter_l.tick(a + 0.7 * b).low * gain,
                      filter_r.tick(c + 0.7 * b).low * gain);
    }
}

// Soft bass: sine with a little second and third harmonic.
void playBass(Mix& mix, const Channel& channel, std::size_t start, double hold, double note, double velocity,
              const Envelope& env) {
    const double hz = midiToHz(note);
    renderVoice(mix, channel, start, env.length(hold), [=](double t) {
        const double p = TWO_PI * hz * t;
        const double tone = std::sin(p) + 0.35 * std::sin(2.0 * p) + 0.12 * std::sin(3.0 * p);
        return std::tanh(1.2 * tone) * env.at(t, hold) * velocity;
    });
}

// Bell: frequency modulation with a decaying index, so the strike is bright and the ring pure.
void playBell(Mix& mix, const Channel& channel, std::size_t start, double note, double velocity,
              double ring_seconds, double ratio = 3.5) {
    const double hz = midiToHz(note);
    const double length = ring_seconds * 5.0;
    renderVoice(mix, channel, start, length, [=](double t) {
        const double attack = smoothStep(t / 0.002);
        const double index = 2.2 * std::exp(-t / 0.25);
        const double mod = std::sin(TWO_PI * hz * ratio * t) * index;
        const double body = std::sin(TWO_PI * hz * t + mod) * std::exp(-t / ring_seconds);
        const double shimmer = 0.25 * std::sin(TWO_PI * hz * 2.0 * t) * std::exp(-t / (0.3 * ring_seconds));
        return (body + shimmer) * attack * velocity;
    });
}

// Wooden mallet: fundamental plus the bar's fourth partial, both dying quickly.
void playMallet(Mix& mix, const Channel& channel, std::size_t start, double note, double velocity) {
    const double hz = midiToHz(note);
    renderVoice(mix, channel, start, 1.6, [=](double t) {
        const double attack = smoothStep(t / 0.0025);
        const double body = std::sin(TWO_PI * hz * t) * std::exp(-t / 0.32);
        const double knock = 0.3 * std::sin(TWO_PI * hz * 3.93 * t) * std::exp(-t / 0.04);
        return (body + knock) * attack * velocity;
    });
}

// Breathy flute: near-sine with delayed vibrato and a touch of filtered breath.
void playFlute(Mix& mix, const Channel& channel, std::size_t start, double hold, double note, double velocity,
               Random& random) {
    const double hz = midiToHz(note);
    const Envelope env{0.07, 0.4, 0.82, 0.16};
    Svf breath;
    breath.setup(hz * 2.0, 1.5);
    double phase = 0.0;
    const double length = env.length(hold);
    renderVoice(mix, channel, start, length, [&](double t) {
        const double vibrato = 1.0 + 0.004 * smoothStep((t - 0.25) / 0.4) * std::sin(TWO_PI * 5.0 * t);
        phase += hz * vibrato / RATE;
        phase -= std::floor(phase);
        const double p = TWO_PI * phase;
        const double tone = std::sin(p) + 0.18 * std::sin(2.0 * p) + 0.05 * std::sin(3.0 * p);
        const double air = breath.tick(random.bipolar()).band * 0.08;
        return (tone + air) * env.at(t, hold) * velocity;
    });
}

// Ghostly glide: a sine that slides in from the previous note and wavers.
void playGhost(Mix& mix, const Channel& channel, std::size_t start, double hold, double note,
               double from_note, double velocity) {
    const double hz = midiToHz(note);
    const double from_hz = midiToHz(from_note);
    const Envelope env{0.16, 0.8, 0.85, 0.22};
    double phase = 0.0;
    renderVoice(mix, channel, start, env.length(hold), [&](double t) {
        const double glide = smoothStep(t / 0.14);
        const double base = from_hz + (hz - from_hz) * glide;
        const double vibrato = 1.0 + 0.007 * std::sin(TWO_PI * 5.3 * t) * smoothStep(t / 0.5);
        phase += base * vibrato / RATE;
        phase -= std::floor(phase);
        const double p = TWO_PI * phase;
        return (std::sin(p) + 0.12 * std::sin(2.0 * p)) * env.at(t, hold) * velocity;
    });
}

// Soft low thump, like a distant heartbeat.
void playThump(Mix& mix, const Channel& channel, std::size_t start, double velocity) {
    double phase = 0.0;
    renderVoice(mix, channel, start, 0.5, [&](double t) {
        const double hz = 45.0 + 40.0 * std::exp(-t / 0.04);
        phase += hz / RATE;
        return std::sin(TWO_PI * phase) * smoothStep(t / 0.004) * std::exp(-t / 0.11) * velocity;
    });
}

// Brassy tone for the fanfare: saw through a low-pass filter that opens with the attack.
void playBrass(Mix& mix, const Channel& channel, std::size_t start, double hold, double note,
               double velocity) {
    const double hz = midiToHz(note);
    const Envelope env{0.03, 0.25, 0.7, 0.12};
    SawOsc saw_a(0.1);
    SawOsc saw_b(0.6);
    Svf filter;
    std::size_t i = 0;
    renderVoice(mix, channel, start, env.length(hold), [&](double t) {
        if (i++ % 16 == 0) {
            filter.setup(hz * (1.5 + 4.0 * std::exp(-t / 0.12)), 0.8);
        }
        const double tone = saw_a.tick(hz * 1.002) + saw_b.tick(hz * 0.998);
        return filter.tick(0.5 * tone).low * env.at(t, hold) * velocity;
    });
}

// ---- music ------------------------------------------------------------------

// Tempo grid of a loop; the beat is a whole number of samples so bars join exactly.
struct Grid {
    int samples_per_beat;
    int beats_per_bar;
    int bars;

    std::size_t getLength() const {
        return static_cast<std::size_t>(samples_per_beat) * static_cast<std::size_t>(beats_per_bar * bars);
    }
    std::size_t at(double beat) const {
        return static_cast<std::size_t>(std::llround(beat * samples_per_beat));
    }
    double seconds(double beats) const { return beats * samples_per_beat / RATE; }
};

struct Chord {
    double beat;
    double beats;
    std::vector<int> tones;  // low to high
    int root;
};

struct MelodyNote {
    double beat;
    double beats;
    int note;
};

// Scales a loop so its highest peak is peak, after removing any offset from zero.
void normalise(Stereo& audio, double peak) {
    for (std::vector<double>* p_channel : {&audio.left, &audio.right}) {
        double mean = 0.0;
        for (double x : *p_channel) {
            mean += x;
        }
        mean /= static_cast<double>(std::max<std::size_t>(1, p_channel->size()));
        for (double& x : *p_channel) {
            x -= mean;
        }
    }
    double highest = 1e-9;
    for (std::size_t i = 0; i < audio.size(); ++i) {
        highest = std::max({highest, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    }
    const double gain = peak / highest;
    for (std::size_t i = 0; i < audio.size(); ++i) {
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
}

// Turns a loop so that it starts a moment before its first beat, where both channels are closest
// to zero and flattest. The loop stays seamless and as long; the point is the file's own edges,
// which the MP3 encoder sees as steps from silence and blurs: a small step blurs least.
Stereo startAtQuietPoint(const Stereo& audio, std::size_t window) {
    const std::size_t n = audio.size();
    std::size_t best = 0;
    double best_cost = 1e300;
    for (std::size_t k = 0; k < std::min(window, n); ++k) {
        const std::size_t j = (n - k) % n;
        const std::size_t before = (j + n - 1) % n;
        const double cost = std::fabs(audio.left[j]) + std::fabs(audio.right[j]) +
                            4.0 * (std::fabs(audio.left[j] - audio.left[before]) +
                                   std::fabs(audio.right[j] - audio.right[before]));
        if (cost < best_cost) {
            best_cost = cost;
            best = j;
        }
    }
    Stereo out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.left[i] = audio.left[(best + i) % n];
        out.right[i] = audio.right[(best + i) % n];
    }
    return out;
}

// Title music: warm and calm, D major, 75 beats a minute, 16 bars (51.2 s).
Stereo makeEmber() {
    static_assert(RATE * 60 % 75 == 0, "a beat must be a whole number of samples");
    const Grid grid{RATE * 60 / 75, 4, 16};
    Mix mix(grid.getLength(), true);
    Random random(1975);

    const std::vector<Chord> chords = {
        {0, 4, {57, 61, 64, 66}, 38},   // Dmaj9
        {4, 4, {57, 59, 62, 66}, 47},   // Bm7
        {8, 4, {55, 59, 62, 66}, 43},   // Gmaj7
        {12, 2, {57, 62, 64, 69}, 45},  // Asus4
        {14, 2, {57, 61, 64, 69}, 45},  // A
        {16, 4, {57, 62, 66, 69}, 42},  // D/F#
        {20, 4, {55, 59, 62, 64}, 40},  // Em7
        {24, 4, {55, 59, 62, 66}, 43},  // Gmaj7
        {28, 2, {57, 62, 64, 69}, 45},  // Asus4
        {30, 2, {57, 61, 64, 67}, 45},  // A7
        {32, 4, {57, 59, 62, 66}, 47},  // Bm7
        {36, 4, {57, 61, 64, 66}, 42},  // F#m7
        {40, 4, {55, 59, 62, 66}, 43},  // Gmaj7
        {44, 4, {57, 62, 66, 69}, 42},  // D/F#
        {48, 4, {55, 59, 62, 64}, 40},  // Em7
        {52, 4, {57, 61, 64, 69}, 37},  // A/C#
        {56, 4, {55, 59, 62, 66}, 43},  // Gmaj7
        {60, 2, {57, 62, 64, 69}, 45},  // Asus4
        {62, 2, {57, 61, 64, 67}, 45},  // A7
    };
    const std::vector<MelodyNote> melody = {
        {0, 1.5, 78},    {1.5, 0.5, 76}, {2, 1, 74},      {3, 1, 69},    {4, 2, 71},      {6, 0.5, 69},
        {6.5, 0.5, 71},  {7, 1, 74},     {8, 1, 71},      {9, 1, 74},    {10, 1.5, 78},   {11.5, 0.5, 76},
        {12, 3, 76},     {16, 1.5, 78},  {17.5, 0.5, 76}, {18, 1, 74},   {19, 1, 69},     {20, 1.5, 71},
        {21.5, 0.5, 69}, {22, 1, 67},    {23, 1, 71},     {24, 1, 69},   {25, 1, 71},     {26, 2, 74},
        {28, 2, 74},     {30, 1.5, 73},  {32, 1, 74},     {33, 1, 78},   {34, 1.5, 81},   {35.5, 0.5, 78},
        {36, 2, 76},     {38, 1, 73},    {39, 1, 69},     {40, 1.5, 71}, {41.5, 0.5, 74}, {42, 2, 79},
        {44, 3, 78},     {48, 1, 79},    {49, 1, 78},     {50, 1, 76},   {51, 1, 74},     {52, 1.5, 73},
        {53.5, 0.5, 74}, {54, 2, 76},    {56, 1, 74},     {57, 1, 71},   {58, 2, 69},     {60, 2.5, 69},
        {63.5, 0.5, 76},
    };

    // The pad's filter breathes once every four bars: a whole number of times per loop.
    const std::size_t loop = grid.getLength();
    const auto lfo = [loop](std::size_t index) {
        return 1.0 +
               0.25 * std::sin(TWO_PI * 4.0 * static_cast<double>(index % loop) / static_cast<double>(loop));
    };
    const Channel pad{0.9, 0.0, 0.0, 0.55};
    const Channel bass{0.28, 0.0, 0.0, 0.08};
    const Channel flute{0.26, 0.1, 0.22, 0.35};
    const Envelope pad_env{0.9, 1.5, 0.85, 0.9};
    const Envelope bass_env{0.03, 0.9, 0.55, 0.25};

    for (const Chord& chord : chords) {
        const double hold = grid.seconds(chord.beats);
        for (int tone : chord.tones) {
            playPad(mix, pad, grid.at(chord.beat), hold, tone, 0.5, 3.2, pad_env, random, lfo);
        }
        for (double beat = 0; beat < chord.beats; beat += 2) {
            playBass(mix, bass, grid.at(chord.beat + beat), grid.seconds(1.7), chord.root,
                     beat == 0 ? 1.0 : 0.75, bass_env);
        }
        // Bell arpeggio an octave above the pad, in eighths, sides alternating.
        static const int PATTERN[8] = {0, 1, 2, 3, 1, 2, 3, 2};
        for (int step = 0; step < static_cast<int>(chord.beats * 2); ++step) {
            const double beat = chord.beat + 0.5 * step;
            const int eighth = static_cast<int>(std::llround(beat * 2)) % 8;
            const int tone = chord.tones[static_cast<std::size_t>(PATTERN[eighth])] + 12;
            const double accent = (eighth % 4 == 0) ? 1.0 : (eighth % 2 == 0 ? 0.8 : 0.62);
            const Channel arp{0.11, eighth % 2 == 0 ? -0.45 : 0.45, 0.35, 0.5};
            playBell(mix, arp, grid.at(beat), tone, accent * (0.9 + 0.1 * random.uniform()), 0.55, 2.0);
        }
    }
    for (const MelodyNote& note : melody) {
        playFlute(mix, flute, grid.at(note.beat), grid.seconds(note.beats) * 0.92, note.note, 1.0, random);
    }
    // A high sparkle every other bar in the second half.
    for (int bar = 8; bar < 16; bar += 2) {
        const Channel sparkle{0.06, bar % 4 == 0 ? 0.6 : -0.6, 0.5, 0.7};
        playBell(mix, sparkle, grid.at(bar * 4 + 2.5), 90, 1.0, 0.8, 3.5);
    }

    Stereo out = mix.finish(grid.at(0.75), 0.38, 0.83, 0.35);
    normalise(out, 0.6);
    return startAtQuietPoint(out, toSamples(0.025));
}

// Level music: moody and mysterious, A minor, 80 beats a minute, 20 bars (60 s).
Stereo makeGhosts() {
    static_assert(RATE * 60 % 80 == 0, "a beat must be a whole number of samples");
    const Grid grid{RATE * 60 / 80, 4, 20};
    Mix mix(grid.getLength(), true);
    Random random(1313);

    const std::vector<int> am9 = {57, 64, 71, 72};
    const std::vector<int> fmaj7s11 = {53, 60, 64, 71};
    const std::vector<int> dm9 = {50, 57, 64, 65};
    const std::vector<int> e7sus4 = {52, 59, 62, 69};
    const std::vector<int> e7b9 = {52, 56, 62, 65};
    const std::vector<int> bbmaj7s11 = {46, 57, 62, 64};
    const std::vector<int> fmaj7 = {53, 60, 64, 69};
    const std::vector<int> dm6 = {50, 57, 65, 71};
    const std::vector<Chord> chords = {
        {0, 8, am9, 33},  {8, 8, fmaj7s11, 41},  {16, 8, dm9, 38}, {24, 4, e7sus4, 40},    {28, 4, e7b9, 40},
        {32, 8, am9, 33}, {40, 8, fmaj7s11, 41}, {48, 4, dm9, 38}, {52, 4, bbmaj7s11, 34}, {56, 8, e7b9, 40},
        {64, 4, am9, 33}, {68, 4, fmaj7, 41},    {72, 4, dm6, 38}, {76, 4, e7b9, 40},
    };
    const std::vector<MelodyNote> melody = {
        {32, 2, 76}, {34, 1, 72}, {35, 1, 71}, {36, 3, 69},   {40, 1, 69}, {41, 1, 71}, {42, 1, 72},
        {43, 1, 76}, {44, 3, 74}, {48, 2, 77}, {50, 1, 76},   {51, 1, 74}, {52, 2, 74}, {54, 2, 76},
        {56, 2, 68}, {58, 1, 71}, {59, 1, 74}, {60, 3, 77},   {64, 2, 76}, {66, 1, 74}, {67, 1, 72},
        {68, 3, 69}, {72, 2, 71}, {74, 2, 74}, {76, 3.5, 68},
    };
    const std::vector<MelodyNote> glass = {
        {9.5, 0, 83}, {18.5, 0, 88}, {24.5, 0, 81}, {41.5, 0, 83},
        {54, 0, 88},  {66.5, 0, 84}, {73, 0, 77},   {77.5, 0, 80},
    };

    const std::size_t loop = grid.getLength();
    const auto lfo = [loop](std::size_t index) {
        const double x = static_cast<double>(index % loop) / static_cast<double>(loop);
        return 1.0 + 0.35 * std::sin(TWO_PI * 5.0 * x) * std::sin(TWO_PI * 2.0 * x + 0.5);
    };
    const Channel pad{0.85, 0.0, 0.0, 0.6};
    const Channel bass{0.30, 0.0, 0.0, 0.1};
    const Channel ghost{0.24, -0.15, 0.35, 0.6};
    const Channel heart{0.30, 0.0, 0.0, 0.05};
    const Envelope pad_env{1.8, 3.0, 0.8, 1.4};
    const Envelope bass_env{0.12, 2.0, 0.7, 0.5};

    for (const Chord& chord : chords) {
        const double hold = grid.seconds(chord.beats);
        for (int tone : chord.tones) {
            playPad(mix, pad, grid.at(chord.beat), hold, tone, 0.45, 2.0, pad_env, random, lfo);
        }
        playBass(mix, bass, grid.at(chord.beat), hold * 0.95, chord.root, 1.0, bass_env);
        // Mallet ostinato in eighths, echoing across the room.
        static const int PATTERN[8] = {0, 1, 2, 1, 3, 1, 2, 1};
        for (int step = 0; step < static_cast<int>(chord.beats * 2); ++step) {
            const double beat = chord.beat + 0.5 * step;
            const int eighth = static_cast<int>(std::llround(beat * 2)) % 8;
            const int tone = chord.tones[static_cast<std::size_t>(PATTERN[eighth])];
            const double accent = eighth == 0 ? 1.0 : (eighth % 2 == 0 ? 0.75 : 0.55);
            const Channel mallet{0.18, 0.35 * std::sin(beat * 0.7), 0.4, 0.45};
            playMallet(mix, mallet, grid.at(beat), tone + 12, accent * (0.9 + 0.1 * random.uniform()));
        }
    }
    double previous = melody.back().note;
    for (const MelodyNote& note : melody) {
        playGhost(mix, ghost, grid.at(note.beat), grid.seconds(note.beats) * 0.95, note.note, previous, 1.0);
        previous = note.note;
    }
    for (std::size_t i = 0; i < glass.size(); ++i) {
        const Channel bell{0.07, i % 2 == 0 ? 0.7 : -0.7, 0.55, 0.9};
        playBell(mix, bell, grid.at(glass[i].beat), glass[i].note, 1.0, 1.1, 1.41);
    }
    // A slow heartbeat from the fifth bar on.
    for (int bar = 4; bar < grid.bars; ++bar) {
        playThump(mix, heart, grid.at(bar * 4), 1.0);
        playThump(mix, heart, grid.at(bar * 4 + 0.45), 0.6);
    }

    // Wind: band-passed noise whose colour and level drift, periodic over the loop. The noise
    // itself repeats with the loop, so the filter's second pass joins up with its first.
    std::vector<double> noise_l(loop);
    std::vector<double> noise_r(loop);
    for (std::size_t i = 0; i < loop; ++i) {
        noise_l[i] = random.bipolar();
        noise_r[i] = random.bipolar();
    }
    Svf wind_l;
    Svf wind_r;
    const Channel wind{0.22, 0.0, 0.0, 0.35};
    runCircular(loop, true, [&](std::size_t i, bool keep) {
        const double x = static_cast<double>(i) / static_cast<double>(loop);
        if (i % 32 == 0) {
            const double centre = 650.0 * std::pow(2.0, 0.9 * std::sin(TWO_PI * 5.0 * x));
            wind_l.setup(centre, 4.0);
            wind_r.setup(centre * 1.2, 4.0);
        }
        const double level = 0.5 + 0.5 * std::sin(TWO_PI * 4.0 * x - 1.2);
        const double l = wind_l.tick(noise_l[i]).band * level;
        const double r = wind_r.tick(noise_r[i]).band * level;
        if (keep) {
            mix.addStereo(wind, i, l, r);
        }
    });

    Stereo out = mix.finish(grid.at(0.75), 0.45, 0.88, 0.45);
    normalise(out, 0.6);
    return startAtQuietPoint(out, toSamples(0.025));
}

// ---- sound effects ------------------------------------------------------------

// Folds an effect to mono, lets its last fade_seconds die away to exactly zero and scales it so
// its highest peak is peak. Effects start from silence already; their first sample stays zero.
Stereo finishEffect(const Stereo& in, double fade_seconds, double peak) {
    Stereo out(in.size());
    const std::size_t fade = std::min(toSamples(fade_seconds), in.size());
    double highest = 1e-9;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::size_t left = in.size() - 1 - i;
        const double g =
            left < fade ? smoothStep(static_cast<double>(left) / static_cast<double>(fade)) : 1.0;
        out.left[i] = 0.5 * (in.left[i] + in.right[i]) * g;
        highest = std::max(highest, std::fabs(out.left[i]));
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
        out.left[i] *= peak / highest;
        out.right[i] = out.left[i];
    }
    return out;
}

// Jump: a short blip whose pitch rises by an octave and a half.
Stereo makeJump() {
    Mix mix(toSamples(0.26), false);
    const double length = 0.2;
    SquareOsc square;
    Svf filter;
    filter.setup(2800.0, 0.7);
    double phase = 0.0;
    renderVoice(mix, {1.0, 0.0, 0.0, 0.08}, 0, length, [&](double t) {
        const double hz = 290.0 * std::pow(2.0, 1.5 * std::min(t / 0.14, 1.0));
        phase += hz / RATE;
        const double sub = std::sin(TWO_PI * phase);
        const double buzz = filter.tick(square.tick(hz)).low;
        const double env = smoothStep(t / 0.004) * std::exp(-t / 0.07);
        return (0.6 * buzz + 0.5 * sub) * env;
    });
    return finishEffect(mix.finish(toSamples(0.05), 0.0, 0.5, 0.5), 0.03, 0.55);
}

// World switch: two resonant noise bands crossing, one falling and one rising, over a chord
// whose phasing sweeps up and back while its pitch sinks.
Stereo makeShadowSwitch() {
    const double length = 1.0;
    Mix mix(toSamples(1.25), false);
    Random random(77);
    Svf falling;
    Svf rising;
    renderVoice(mix, {1.0, 0.0, 0.0, 0.3}, 0, length, [&](double t) {
        const double x = t / length;
        if (toSamples(t) % 16 == 0) {
            falling.setup(4800.0 * std::pow(2.0, -4.5 * x), 6.0);
            rising.setup(220.0 * std::pow(2.0, 4.0 * x), 6.0);
        }
        const double noise = random.bipolar();
        const double bands = falling.tick(noise).band + 1.2 * rising.tick(noise).band;
        const double env = smoothStep(t / 0.25) * (1.0 - smoothStep((t - 0.35) / 0.62));
        return bands * env * 0.5;
    });
    SawOsc saws[3] = {SawOsc(0.0), SawOsc(0.33), SawOsc(0.67)};
    double stages[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    Svf tone;
    tone.setup(1800.0, 0.7);
    renderVoice(mix, {0.5, 0.0, 0.0, 0.35}, 0, length, [&](double t) {
        const double drop = std::pow(2.0, -0.6 * t);
        const double dry = (saws[0].tick(110.0 * drop) + saws[1].tick(164.81 * drop * 1.004) +
                            saws[2].tick(220.0 * drop * 0.997)) /
                           3.0;
        const double hz = 250.0 * std::pow(2.0, 3.5 * std::sin(PI * t / length));
        const double g = std::tan(PI * hz / RATE);
        const double a = (g - 1.0) / (g + 1.0);
        double x = dry;
        for (double& state : stages) {
            const double y = a * x + state;
            state = x - a * y;
            x = y;
        }
        const double env = smoothStep(t / 0.18) * (1.0 - smoothStep((t - 0.3) / 0.68));
        return tone.tick(dry + x).low * env;
    });
    return finishEffect(mix.finish(toSamples(0.09), 0.3, 0.8, 0.4), 0.1, 0.7);
}

// Light: a bright two-note chime with a high glint.
Stereo makeLight() {
    Mix mix(toSamples(1.3), false);
    const Channel chime{1.0, 0.0, 0.25, 0.35};
    playBell(mix, chime, 0, 88, 1.0, 0.35, 3.0);
    playBell(mix, chime, toSamples(0.075), 95, 0.8, 0.35, 3.0);
    playBell(mix, chime, toSamples(0.15), 100, 0.45, 0.25, 3.0);
    return finishEffect(mix.finish(toSamples(0.11), 0.3, 0.7, 0.3), 0.2, 0.6);
}

// Lever: two mechanical clacks, the throw and the latch.
Stereo makeSwitch() {
    Mix mix(toSamples(0.33), false);
    Random random(4242);
    const auto clack = [&](double start, double level, double centre) {
        Svf body;
        body.setup(centre, 3.0);
        double phase = 0.0;
        renderVoice(mix, {level, 0.0, 0.0, 0.12}, toSamples(start), 0.16, [&](double t) {
            const double attack = smoothStep(t / 0.0008);
            const double click = body.tick(random.bipolar()).band * std::exp(-t / 0.009) * 2.2;
            const double ping =
                (std::sin(TWO_PI * centre * 1.31 * t) + 0.6 * std::sin(TWO_PI * centre * 2.07 * t)) *
                std::exp(-t / 0.018) * 0.18;
            phase += (80.0 + 90.0 * std::exp(-t / 0.015)) / RATE;
            const double thump = std::sin(TWO_PI * phase) * std::exp(-t / 0.03) * 0.5;
            return (click + ping + thump) * attack;
        });
    };
    // A few milliseconds of silence first give the encoder room before the sharp attack.
    clack(0.005, 1.0, 1700.0);
    clack(0.09, 0.6, 2500.0);
    return finishEffect(mix.finish(toSamples(0.05), 0.0, 0.6, 0.5), 0.03, 0.7);
}

// Level complete: a rising major arpeggio that settles into a held chord, with a sparkle on top.
Stereo makeLevelComplete() {
    Mix mix(toSamples(1.5), false);
    const int notes[4] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) {
        const double start = 0.1 * i;
        const Channel brass{0.33, -0.3 + 0.2 * i, 0.15, 0.3};
        playBrass(mix, brass, toSamples(start), 0.95 - start, notes[i], i == 3 ? 1.0 : 0.85);
    }
    playBass(mix, {0.35, 0.0, 0.0, 0.2}, toSamples(0.3), 0.65, 48, 1.0, {0.02, 0.5, 0.6, 0.12});
    playBell(mix, {0.22, 0.3, 0.3, 0.4}, toSamples(0.3), 96, 1.0, 0.2, 3.0);
    playBell(mix, {0.15, -0.3, 0.3, 0.4}, toSamples(0.42), 100, 1.0, 0.18, 3.0);
    return finishEffect(mix.finish(toSamples(0.12), 0.25, 0.75, 0.4), 0.15, 0.7);
}

// ---- output -----------------------------------------------------------------

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// Writes 16-bit PCM, with one channel when both sides are the same.
bool writeWav(const std::string& path, const Stereo& audio, bool is_stereo) {
    const std::uint32_t channels = is_stereo ? 2 : 1;
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(audio.size()) * channels * 2;
    std::string out;
    out += "RIFF";
    putLe(out, 36 + data_bytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);  // PCM
    putLe(out, channels, 2);
    putLe(out, RATE, 4);
    putLe(out, RATE * channels * 2, 4);
    putLe(out, channels * 2, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, data_bytes, 4);
    for (std::size_t i = 0; i < audio.size(); ++i) {
        for (std::uint32_t c = 0; c < channels; ++c) {
            const double x = c == 0 ? audio.left[i] : audio.right[i];
            const long sample = std::lround(clamp(x, -1.0, 1.0) * 32767.0);
            putLe(out,
                  static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(sample))),
                  2);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

struct Piece {
    const char* name;
    Stereo (*make)();
    bool is_stereo;
};

const Piece PIECES[] = {
    {"jump", makeJump, false},     {"shadowswitch", makeShadowSwitch, false},   {"light", makeLight, false},
    {"switch", makeSwitch, false}, {"levelcomplete", makeLevelComplete, false}, {"Ember", makeEmber, true},
    {"Ghosts", makeGhosts, true},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [NAME...]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::string> wanted(argv + 2, argv + argc);
    int status = 0;
    for (const std::string& name : wanted) {
        const bool known = std::any_of(std::begin(PIECES), std::end(PIECES),
                                       [&](const Piece& piece) { return name == piece.name; });
        if (!known) {
            std::fprintf(stderr, "soundgen: unknown sound '%s'\n", name.c_str());
            status = 2;
        }
    }
    for (const Piece& piece : PIECES) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), piece.name) == wanted.end()) {
            continue;
        }
        const Stereo audio = piece.make();
        const std::string path = dir + "/" + piece.name + ".wav";
        if (!writeWav(path, audio, piece.is_stereo)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            status = 1;
            continue;
        }
        std::printf("%s: %zu samples (%.3f s)\n", path.c_str(), audio.size(),
                    static_cast<double>(audio.size()) / RATE);
    }
    return status;
}
