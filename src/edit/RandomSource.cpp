#include "edit/RandomSource.h"

#include <sys/random.h>

#include <cerrno>

namespace quillon::edit {

bool SystemRandom::Fill(uint8_t* out, size_t n) {
    size_t done = 0;
    while (done < n) {
        ssize_t got = getrandom(out + done, n - done, 0);
        if (got < 0) {
            // A signal may cut the wait for the pool short; anything else is
            // a source that cannot serve us.
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

RandomSource& DefaultRandomSource() {
    static SystemRandom source;
    return source;
}

}  // namespace quillon::edit
