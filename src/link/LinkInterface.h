#pragma once
#include <cstdint>

namespace quillon {

// The abstract link: the eight operations every link class offers, in their
// slot order. Only `initialise` means something for a bare serial port; the
// other seven belong to the block protocol engine.
class CLinkInterface {
  public:
    virtual ~CLinkInterface() = default;
    virtual int initialise() = 0;
    virtual int StartExchange() = 0;
    virtual int FinishMessage() = 0;
    virtual int WaitReplyEnd() = 0;
    virtual int ResetBci() = 0;
    virtual int ReceiveBytes(int count, uint8_t* dest) = 0;
    virtual int SendBytes(int count, const uint8_t* src) = 0;
    // Has no use; kept so that the slot layout stays the same in every class.
    virtual int Unused() = 0;
};

}  // namespace quillon
