#pragma once
// The byte stream of the document files: counted strings, little-endian
// integers and raw bytes, written and read in one fixed order.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::model {

class ArchiveWriter {
  public:
    void WriteByte(uint8_t v) { bytes_.push_back(v); }
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteBytes(const uint8_t* data, size_t n) { bytes_.insert(bytes_.end(), data, data + n); }
    // Length prefix (one byte up to 254, 0xFF + 16 bits up to 65533, else
    // 0xFF 0xFFFF + 32 bits), then the 8-bit characters.
    void WriteString(const std::string& s);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

// Raised when the stream ends before an item does. Everything a reader
// allocates is checked against what is left of the stream first, so a
// forged length can never make it allocate more than the file holds.
class ArchiveError : public std::runtime_error {
  public:
    ArchiveError() : std::runtime_error("archive ends early") {}
};

class ArchiveReader {
  public:
    ArchiveReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t ReadByte();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    void ReadBytes(uint8_t* out, size_t n);
    // Every prefix form the writer can produce, and the 16-bit character form
    // other tools may write (characters above 0xFF become '?').
    std::string ReadString();

    size_t Remaining() const { return size_ - pos_; }

  private:
    void Need(size_t n) const {
        if (n > Remaining()) {
            throw ArchiveError();
        }
    }
    uint32_t ReadLength();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace quillon::model
