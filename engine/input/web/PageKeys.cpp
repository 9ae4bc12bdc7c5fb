// SPDX-License-Identifier: MIT
#include "PageKeys.h"

#include <veltrane/graphics/DisplayManager.h>

extern "C" {
void vl_keys_start();
void vl_keys_stop();
// Up to max reports of five numbers each (kind, key, button, x, y in window pixels); the count.
int vl_keys_take(double* p_reports, int max);
// The held keys, one byte per key value, the held buttons as bits, and the pointer in window pixels.
void vl_keys_held(unsigned char* p_keys, int count, int* p_buttons, double* p_xy);
}

namespace vl {

namespace {

const int REPORTS_PER_READ = 64;

Mouse::Button toButton(double value) {
    const int button = static_cast<int>(value);
    return button >= Mouse::LEFT && button <= Mouse::MIDDLE ? static_cast<Mouse::Button>(button)
                                                            : Mouse::UNDEFINED_MOUSE_BUTTON;
}

Keyboard::Key toKey(double value) {
    const int key = static_cast<int>(value);
    return key >= 0 && key < Keyboard::KEY_VALUES ? static_cast<Keyboard::Key>(key) : Keyboard::UNDEFINED_KEY;
}

}  // namespace

PageKeys::PageKeys() : m_held{}, m_buttons(0) {
    vl_keys_start();
}

const char* PageKeys::getName() const {
    return "Page";
}

void PageKeys::stop() {
    vl_keys_stop();
}

std::vector<KeyInput> PageKeys::read(int64_t) {
    std::vector<KeyInput> inputs;
    double reports[REPORTS_PER_READ * 5];
    int count = 0;
    do {
        count = vl_keys_take(reports, REPORTS_PER_READ);
        for (int i = 0; i < count; i++) {
            const double* p_report = reports + i * 5;
            const auto kind = static_cast<KeyInput::Kind>(static_cast<int>(p_report[0]));
            const Vector cells =
                pixelsToSpaces(Vector(static_cast<float>(p_report[3]), static_cast<float>(p_report[4])));
            inputs.push_back(KeyInput{kind, toKey(p_report[1]), toButton(p_report[2]), cells, 0});
        }
    } while (count == REPORTS_PER_READ);
    double xy[2] = {0, 0};
    vl_keys_held(m_held, Keyboard::KEY_VALUES, &m_buttons, xy);
    m_mouse = pixelsToSpaces(Vector(static_cast<float>(xy[0]), static_cast<float>(xy[1])));
    return inputs;
}

bool PageKeys::isHeld(Keyboard::Key key) const {
    return key >= 0 && key < Keyboard::KEY_VALUES && m_held[key] != 0;
}

bool PageKeys::reportsReleases() const {
    return true;
}

void PageKeys::deliver(int) {}  // a page reports no signal keys

bool PageKeys::isButtonHeld(Mouse::Button button) const {
    return button >= Mouse::LEFT && button <= Mouse::MIDDLE && (m_buttons & (1 << button)) != 0;
}

Vector PageKeys::getMousePosition() const {
    return m_mouse;
}

}  // namespace vl
