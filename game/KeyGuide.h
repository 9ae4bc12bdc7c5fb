// SPDX-License-Identifier: MIT
#ifndef KEY_GUIDE_H
#define KEY_GUIDE_H

#include <veltrane/core/ObjectList.h>
#include <veltrane/world/Object.h>

/// The line of hints at the bottom of a level: what the player can do where it stands.
/// Frames of the "keyguide" sprite: 0 general keys, 1 at a lever, 3 carrying a light, 4 at a light,
/// 5 at the door, 6 crushed (it stays until the level is rebuilt); frame 2 is not used. Frame 7 is
/// frame 0 with the two-worlds rule, shown in its place in the first level. Frame 8 warns at a
/// lever whose pull lands its piece on the player.
class KeyGuide : public vl::Object {
public:
    KeyGuide();  ///< centred under the window at (columns / 2, 20), showing frame 0
    ~KeyGuide() override;
    int eventHandler(const vl::Event* p_e) override;  ///< "crush": shows the crushed frame, once; 1. Else 0.
    void setFrame(int frame);  ///< shows that frame; asking for the frame already shown does nothing
    int getFrame() const;
    void showRule();  ///< frame 0 shows the two-worlds rule from now on
    /// The hint for what the form in control touches, in list order; with nothing to say, the general
    /// keys (or the carried light's).
    void showHint(const vl::ObjectList& touching, bool shadow_form, bool has_light);

    static constexpr int CRUSHED = 6;
    static constexpr int CRUSH_WARNING = 8;

private:
    int m_frame;       //!< the frame now shown
    bool m_show_rule;  //!< frame 0 is shown as the rule frame
};

#endif
