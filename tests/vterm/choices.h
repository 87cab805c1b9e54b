#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace quill::test {

// Where the stream grammar takes its decisions from: a seeded generator
// (the test) or the fuzzer's bytes.
class Choices {
  public:
    virtual ~Choices() = default;
    // A number from 0 to bound - 1.
    virtual unsigned Below(unsigned bound) = 0;
    // Whether decisions are left (a byte source runs dry).
    virtual bool Left() const = 0;
};

class SeededChoices final : public Choices {
  public:
    explicit SeededChoices(std::uint32_t seed) : engine_(seed) {}
    unsigned Below(unsigned bound) override {
        return std::uniform_int_distribution<unsigned>(0, bound - 1)(engine_);
    }
    bool Left() const override { return true; }

  private:
    std::mt19937 engine_;
};

class ByteChoices final : public Choices {
  public:
    ByteChoices(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    unsigned Below(unsigned bound) override {
        unsigned value = 0;
        for (unsigned range = 1; range < bound && at_ < size_; range <<= 8) {
            value = (value << 8) | bytes_[at_++];
        }
        return value % bound;
    }
    bool Left() const override { return at_ < size_; }

  private:
    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace quill::test
