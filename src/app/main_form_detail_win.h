#pragma once
// Helpers shared by the files that make up frmMain.
#include <memory>

#include "core/app_error.h"

namespace spotlex {

// A controller that is gone (the form was unloaded while a step ran) is an error of its own,
// logged like any other, never a crash.
template <class T>
T& Need(const std::unique_ptr<T>& p) {
    if (!p) throw AppError(91, "", "Object variable or With block variable not set");
    return *p;
}

}  // namespace spotlex
