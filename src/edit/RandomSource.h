#pragma once
// Where freshly generated key bytes come from. Keys are secrets: they must
// come from the operating system's cryptographic source, never from a
// generator that starts from the same seed in every run (every user would
// then be handed the same keys). Tests put their own bytes behind the seam.
#include <cstddef>
#include <cstdint>

namespace quillon::edit {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Fills out with n bytes; false when the source could not deliver them
    // (the caller then generates nothing rather than something guessable).
    virtual bool Fill(uint8_t* out, size_t n) = 0;
};

// The kernel's random source (getrandom), blocking only until it is seeded
// at boot.
class SystemRandom final : public RandomSource {
  public:
    bool Fill(uint8_t* out, size_t n) override;
};

// The source the dialogs use unless they are given another.
RandomSource& DefaultRandomSource();

}  // namespace quillon::edit
