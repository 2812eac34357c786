// A fuzz input read as a stream of choices. Past its end every read gives
// zeros, so any input decodes to some sequence of calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace stats::fuzzing {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Done() const { return position_ >= size_; }

    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | std::uint32_t{U16()} << 16; }
    std::uint64_t U64() { return static_cast<std::uint64_t>(U32()) | std::uint64_t{U32()} << 32; }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    bool Bit() { return (Byte() & 1) != 0; }
    // Any bit pattern: NaNs, infinities and denormals included.
    double Double() {
        const std::uint64_t bits = U64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // 0 to n - 1; 0 when n is 0.
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : Byte() % n; }

    // Up to `maxLength` bytes, as many as a length byte says and the input holds.
    std::string Bytes(std::size_t maxLength) {
        std::size_t length = Byte();
        if (maxLength > 255) {
            length |= std::size_t{Byte()} << 8;
        }
        length = length % (maxLength + 1);
        if (length > size_ - position_) {
            length = size_ - position_;
        }
        std::string bytes(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return bytes;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace stats::fuzzing
