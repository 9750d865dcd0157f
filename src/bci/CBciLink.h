#pragma once
#include "link/CCommPort.h"

namespace quillon {

// The block protocol engine on the link object. (Its receive and transmit
// machines are being written; until then it only drains the line.)
class CBciLink : public CCommPort {
public:
    CBciLink(const LinkContext& ctx, int portNumber, int baudRate)
        : CCommPort(ctx, portNumber, baudRate) {}
    int initialise() override { return IsOpen(); }
    void ReadPort() {}
    void Step() {}
};

}  // namespace quillon
