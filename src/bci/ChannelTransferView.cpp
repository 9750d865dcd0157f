#include "bci/ChannelTransferView.h"

#include "bci/ChannelTransfer.h"

namespace quillon::bci {

model::CChannelTable AsTransferred(const model::CChannelTable& table) {
    // The writer stamps each slot's number into the image it sends from.
    model::CChannelTable sent = table;
    model::CChannelTable received;
    ChannelStreamWriter writer(sent);
    ChannelReplyReader reader(received);
    const auto ignore = [](int) {};
    while (!writer.Done()) {
        BlockBuffer block{};
        writer.NextBlock(block, ignore);
        if (reader.TakeBlock(block.data(), ignore) != ChannelReplyReader::Status::NeedMore) {
            break;
        }
    }
    return received;
}

}  // namespace quillon::bci
