#pragma once
// What the CSV tests share: the header line exactly as the program writes it,
// and small helpers to build channels byte by byte.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "model/CChannel.h"

namespace quillon::testing {

inline const std::string kHeader =
    "Channel Number,Channel Name,Mode,Tx Frequency (MHz),Rx Frequency (MHz),Squelch Systems,"
    "Tx NAC,Rx NAC,Tx CxCSS,Rx CxCSS,Tx CDCSS Invert,Rx CDCSS Invert,Operation Mode,Control,"
    "Front Panel,Link Radio,Tx Key ID,Tx Algorithm ID,Talkgroup ID,Power (W),Ptt Delay (s),"
    "Ptt Tail (s),Ptt Timeout (s),Courtesy Timer (s),Courtesy Tone,Half Duplex,Unit ID,"
    "Reverse Burst,Autosense Tx,Squelch Level,Number of Ref. Channels,"
    "Referenced Channel 1,Dwell Time 1,Referenced Channel 2,Dwell Time 2,"
    "Referenced Channel 3,Dwell Time 3,Referenced Channel 4,Dwell Time 4,"
    "Referenced Channel 5,Dwell Time 5,Referenced Channel 6,Dwell Time 6,"
    "Referenced Channel 7,Dwell Time 7,Referenced Channel 8,Dwell Time 8";

inline void SetName(quillon::model::CChannel& ch, const char (&name)[9]) {
    for (size_t i = 0; i < 8; ++i) {
        ch.Image()[quillon::model::off::kChannelName + i] = static_cast<uint8_t>(name[i]);
    }
}

inline void SetBytes(quillon::model::CChannel& ch, size_t at,
                     std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) {
        ch.Image()[at++] = b;
    }
}

// The image as the importer stores it: it always writes legacy code 1.
inline quillon::model::ChannelImage WithLegacyCode(quillon::model::ChannelImage img, uint8_t code) {
    img[quillon::model::off::kLegacyCode] = code;
    return img;
}

}  // namespace quillon::testing
