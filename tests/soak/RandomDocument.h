#pragma once
// Documents drawn from a random stream: the channel mixes a technician's
// files have (full tables of fixed channels, sparse tables with scan lists,
// an empty table), with squelch groups, tone remote slots, keys and
// radio-wide parameters. Channel bytes are random, so every value that the
// block protocol must escape turns up.
#include <cstdint>
#include <random>
#include <string>

#include "model/CTmpDoc.h"

namespace quillon::soak {

enum class ChannelMix { FullFixed, Sparse, HalfScan, Empty };

const char* ChannelMixName(ChannelMix m);

// Fills an emptied document; returns the mix it drew.
ChannelMix FillRandomDocument(std::mt19937& rng, model::CTmpDoc& doc);

}  // namespace quillon::soak
