#pragma once

// Class-level operations used everywhere: the request factory and network state, file
// paths and caches, image scaling and tinting, time strings, validation, and the shared
// view helpers (avatars, waiting animation, toasts, bar buttons). Stateless: every
// operation is static.

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

class MVTPublicMethod {
public:
    MVTPublicMethod() = delete;

    // ---- Requests and network state -------------------------------------------------

    // ---- Utilities: paths, cache, pictures, time, validation, digests --------------------

    // ---- Avatars, waiting animation, toasts, bar buttons --------------------------------
};
