#include "sim/CardRig.h"

namespace quillon::sim {

CardRig::CardRig(VirtualClock& clock, const SimOptions& o, CardContent content, ByteTrace trace)
    : line_(clock, 9600), card_(clock, o.card, std::move(content)) {
    if (o.password) {
        card_.SetPassword(*o.password);
    }
    CardOptions co = o.card;
    co.byteNs = line_.ByteTimeNs();
    card_.SetOptions(co);
    LineFaults f;
    f.corruptRate = o.corruptRate;
    f.dropRate = o.dropRate;
    f.insertRate = o.insertRate;
    line_.SetFaults(SimLine::Dir::HostToCard, f);
    line_.SetFaults(SimLine::Dir::CardToHost, f);
    line_.SetSeed(o.seed);
    LineDelivery toHost;
    toHost.burstNs = static_cast<uint64_t>(o.burstMs) * VirtualClock::kNsPerMs;
    line_.SetDelivery(SimLine::Dir::CardToHost, toHost);
    if (o.modem) {
        modem_ = std::make_unique<ModemSim>(clock, card_, o.modemOptions);
    }
    AttachToLine(line_.Card(), Front(), std::move(trace));
}

CardRig::~CardRig() {
    DetachFromLine(line_.Card(), Front());
}

}  // namespace quillon::sim
