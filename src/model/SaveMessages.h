#pragma once
// Texts about saves that fail after the file could be created.

namespace quillon::model::savemsg {

// %1 is the file's name, %2 the system's reason.
inline constexpr const char* kSaveFailed =
    "%1 could not be saved: %2.\nThe file on disk is unchanged.";

}  // namespace quillon::model::savemsg
