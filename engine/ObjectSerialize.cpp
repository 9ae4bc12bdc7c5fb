// SPDX-License-Identifier: MIT
// Object records: writing and reading an object's attributes.
#include "Object.h"

namespace vl {

// Not written yet: refuse rather than claim an empty record was written or read.
int Object::serialize(std::stringstream&, unsigned int) {
    return -1;
}

int Object::deserialize(std::stringstream&, unsigned int*) {
    return -1;
}

}  // namespace vl
