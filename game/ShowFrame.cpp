// SPDX-License-Identifier: MIT
#include "ShowFrame.h"

#include <veltrane/graphics/Animation.h>

void showFrame(vl::Object* p_o, int frame) {
    if (p_o == nullptr) {
        return;
    }
    vl::Animation animation = p_o->getAnimation();
    if (animation.getSprite() != nullptr) {
        animation.setIndex(frame);
    }
    animation.setSlowdownCount(-1);
    p_o->setAnimation(animation, true);
}
