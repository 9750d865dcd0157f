#include "core/ProgressSink.h"

#include <cstdlib>

namespace quillon {

int ProgressBar::FilledWidth(float value, int clientWidth) {
    // The value is truncated before the integer arithmetic, so 99.9 % paints
    // like 99 %.
    const long truncated = static_cast<long>(value);
    return static_cast<int>(std::labs(truncated * clientWidth / 100));
}

}  // namespace quillon
