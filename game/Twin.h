// SPDX-License-Identifier: MIT
#ifndef TWIN_H
#define TWIN_H

#include "TwinForm.h"

template <class T>
/// The twin-form link typed as the class of both forms.
class Twin : public TwinForm {
public:
    T* getTwin() const { return static_cast<T*>(m_p_twin_form); }  ///< the other form; not owned

protected:
    explicit Twin(bool is_shadow) : TwinForm(is_shadow) {}
    ~Twin() = default;
};

#endif
