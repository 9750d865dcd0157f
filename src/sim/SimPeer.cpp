#include "sim/SimPeer.h"

#include <array>

namespace quillon::sim {

void AttachToLine(SimLine::End& end, SimPeer& peer, ByteTrace trace) {
    end.SetListener([&end, &peer, trace] {
        std::array<uint8_t, 256> buf{};
        for (;;) {
            const int n = end.Read(buf.data(), static_cast<int>(buf.size()));
            if (n <= 0) {
                return;
            }
            if (trace) {
                for (int i = 0; i < n; ++i) {
                    trace(true, buf[static_cast<size_t>(i)]);
                }
            }
            peer.Receive(buf.data(), static_cast<size_t>(n));
        }
    });
    peer.SetOutput([&end, trace](const uint8_t* data, size_t count) {
        if (trace) {
            for (size_t i = 0; i < count; ++i) {
                trace(false, data[i]);
            }
        }
        end.Write(data, static_cast<int>(count));
    });
}

void DetachFromLine(SimLine::End& end, SimPeer& peer) {
    end.SetListener(nullptr);
    peer.SetOutput(nullptr);
}

}  // namespace quillon::sim
