// SPDX-License-Identifier: MIT
// The window: draws coloured characters in a grid of cells.
#ifndef VL_DISPLAY_MANAGER_H
#define VL_DISPLAY_MANAGER_H


#include "Manager.h"

namespace vl {

class DisplayManager : public Manager {
  public:
    static DisplayManager& getInstance();
    int startUp() override;
    void shutDown() override;
    int getHorizontalChars() const;  // window width in character cells
    int getVerticalChars() const;    // window height in character cells
    int swapBuffers();               // shows the frame drawn and clears the surface

  private:
    DisplayManager();
};

} // namespace vl

#endif
