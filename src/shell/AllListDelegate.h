#pragma once

#include "platform/Values.h"

// What a picking screen hands back to the screen that opened it, once, as it leaves: the
// chosen records in the order they were chosen (possibly empty, possibly what the opener
// handed in) and, for pickers that also choose roles, the chosen roles (null otherwise).
// The opener decides what changed. The homework chooser and the notice receiver picker
// both answer through it.
class AllListDelegate {
public:
    virtual ~AllListDelegate() = default;
    // returnList:roleList:
    virtual void returnList(const platform::Json& list, const platform::Json& roleList) = 0;
};
