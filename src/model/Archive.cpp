#include "model/Archive.h"

namespace quillon::model {

void ArchiveWriter::WriteU16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
}

void ArchiveWriter::WriteU32(uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void ArchiveWriter::WriteString(const std::string& s) {
    size_t n = s.size();
    if (n < 0xFF) {
        WriteByte(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteU16(static_cast<uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(n));
    }
    WriteBytes(reinterpret_cast<const uint8_t*>(s.data()), n);
}

uint8_t ArchiveReader::ReadByte() {
    Need(1);
    return data_[pos_++];
}

uint16_t ArchiveReader::ReadU16() {
    Need(2);
    auto v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t ArchiveReader::ReadU32() {
    Need(4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | data_[pos_ + static_cast<size_t>(i)];
    }
    pos_ += 4;
    return v;
}

void ArchiveReader::ReadBytes(uint8_t* out, size_t n) {
    Need(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = data_[pos_ + i];
    }
    pos_ += n;
}

uint32_t ArchiveReader::ReadLength() {
    uint8_t b = ReadByte();
    if (b < 0xFF) {
        return b;
    }
    uint16_t w = ReadU16();
    if (w < 0xFFFF) {
        return w;
    }
    return ReadU32();
}

std::string ArchiveReader::ReadString() {
    // 0xFF 0xFFFE marks a string of 16-bit characters with a length prefix of
    // its own; look ahead without consuming so the ordinary forms stay simple.
    if (Remaining() >= 3 && data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFE &&
        data_[pos_ + 2] == 0xFF) {
        pos_ += 3;
        uint32_t chars = ReadLength();
        if (chars > Remaining() / 2) {
            throw ArchiveError();
        }
        std::string s;
        s.reserve(chars);
        for (uint32_t i = 0; i < chars; ++i) {
            uint16_t c = ReadU16();
            s.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        }
        return s;
    }
    uint32_t n = ReadLength();
    Need(n);
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
}

}  // namespace quillon::model
