// SPDX-License-Identifier: MIT
#ifndef TWIN_FORM_H
#define TWIN_FORM_H

/// What every two-form thing shares: which form it is, how far apart the forms lie, the link between them.
/// The light form builds the shadow form SHADOW_OFFSET rows above and links the two. Neither owns
/// the other (the world manager owns both); a form going away unlinks itself, so the twin never
/// reaches back to it.
class TwinForm {
public:
    bool isShadow() const;

protected:
    explicit TwinForm(bool is_shadow);
    ~TwinForm();
    void linkTwin(TwinForm* p_twin);  ///< both ways
    void unlinkTwin();                ///< both ways

    int m_shadow_offset;      //!< rows between the light form and the shadow form
    bool m_is_shadow;         //!< this is the shadow form
    TwinForm* m_p_twin_form;  //!< the other form; not owned
};

#endif
