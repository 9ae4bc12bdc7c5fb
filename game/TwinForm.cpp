// SPDX-License-Identifier: MIT
#include "TwinForm.h"

#include "GameEvents.h"

TwinForm::TwinForm(bool is_shadow)
    : m_shadow_offset(SHADOW_OFFSET), m_is_shadow(is_shadow), m_p_twin_form(nullptr) {}

TwinForm::~TwinForm() {
    unlinkTwin();
}

bool TwinForm::isShadow() const {
    return m_is_shadow;
}

void TwinForm::linkTwin(TwinForm* p_twin) {
    m_p_twin_form = p_twin;
    p_twin->m_p_twin_form = this;
}

void TwinForm::unlinkTwin() {
    if (m_p_twin_form != nullptr && m_p_twin_form->m_p_twin_form == this) {
        m_p_twin_form->m_p_twin_form = nullptr;
    }
    m_p_twin_form = nullptr;
}
