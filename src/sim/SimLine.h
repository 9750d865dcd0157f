#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>

#include "sim/VirtualClock.h"

namespace quillon::sim {

// Faults a direction of the line can inject, each byte independently.
struct LineFaults {
    double corruptRate = 0.0;  // a byte arrives with other bits
    double dropRate = 0.0;     // a byte never arrives
    double insertRate = 0.0;   // a random extra byte follows the byte
    bool silent = false;       // nothing sent in this direction arrives
};

// When a byte that has crossed the wire becomes readable at the far end. A
// modem link or a network adds latency; a USB serial adapter holds what it
// receives and hands it over in bursts (the common FTDI chips every 16 ms),
// so a reply reaches the reader in pieces with quiet gaps between them.
struct LineDelivery {
    uint64_t latencyNs = 0;  // every byte arrives this much later
    uint64_t burstNs = 0;    // non-zero: bytes become readable only at the
                             // multiples of this period (of the clock's time)
};

// What a per-byte filter does with one byte; tests use it to lose one
// particular ACK or turn a NAK into an ACK.
enum class FilterAction { Pass, Drop, Replace, InsertAfter };
struct FilterResult {
    FilterAction action = FilterAction::Pass;
    uint8_t value = 0;  // the replacement, or the byte inserted after
};

// A serial line between the programmer (host end) and the card (card end),
// at 8N1 timing: a byte written is readable at the far end when its ten bits
// would have arrived (later with a LineDelivery), and bytes written back to
// back queue behind each other.
class SimLine {
  public:
    enum class Dir { HostToCard = 0, CardToHost = 1 };

    class End {
      public:
        // Bytes that have arrived, up to max; -1 when the line is disconnected.
        int Read(uint8_t* dest, int max);
        // Queues bytes for sending; -1 when disconnected.
        int Write(const uint8_t* src, int count);
        // Drops every byte that has arrived and not been read; bytes still on
        // the wire arrive later, as with a real UART.
        void PurgeReceive();
        size_t Available() const;
        bool Connected() const;
        // Called (from a clock event) whenever a byte has arrived at this end.
        void SetListener(std::function<void()> fn) { listener_ = std::move(fn); }
        uint64_t BytesWritten() const { return written_; }

      private:
        friend class SimLine;
        End(SimLine& line, Dir txDir) : line_(line), txDir_(txDir) {}
        void Deliver(uint8_t b);
        SimLine& line_;
        Dir txDir_;
        std::deque<uint8_t> rx_;
        std::function<void()> listener_;
        uint64_t written_ = 0;
        uint64_t overflowed_ = 0;
    };

    explicit SimLine(VirtualClock& clock, int baud = 9600);
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    End& Host() { return host_; }
    End& Card() { return card_; }
    VirtualClock& Clock() { return clock_; }

    void SetFaults(Dir dir, const LineFaults& f) { faults_[static_cast<int>(dir)] = f; }
    const LineFaults& Faults(Dir dir) const { return faults_[static_cast<int>(dir)]; }
    void SetDelivery(Dir dir, const LineDelivery& d) { delivery_[static_cast<int>(dir)] = d; }
    const LineDelivery& Delivery(Dir dir) const { return delivery_[static_cast<int>(dir)]; }
    void SetSeed(uint32_t seed) { rng_.seed(seed); }
    void SetFilter(Dir dir, std::function<FilterResult(uint8_t)> fn) {
        filters_[static_cast<int>(dir)] = std::move(fn);
    }
    void Disconnect() { connected_ = false; }
    void Reconnect() { connected_ = true; }
    bool Connected() const { return connected_; }

    // Nanoseconds one byte takes on the line (ten bits).
    uint64_t ByteTimeNs() const { return byteTimeNs_; }
    // Counts of what the fault injection did, for the tests' own checks.
    uint64_t Corrupted() const { return corrupted_; }
    uint64_t Dropped() const { return dropped_; }
    uint64_t Inserted() const { return inserted_; }

    // The receive buffer of each end holds at most this many bytes, like a
    // driver's buffer; later bytes are lost.
    static constexpr size_t kRxCapacity = 65536;

  private:
    void Send(Dir dir, uint8_t b);
    void Put(Dir dir, uint8_t b);
    bool Chance(double rate);
    // Schedules a byte that has crossed the wire at wireDoneNs to become
    // readable at the far end as the direction's delivery says.
    void Arrive(Dir dir, uint64_t wireDoneNs, uint8_t b);

    VirtualClock& clock_;
    uint64_t byteTimeNs_;
    End host_;
    End card_;
    LineFaults faults_[2];
    LineDelivery delivery_[2];
    std::function<FilterResult(uint8_t)> filters_[2];
    uint64_t freeAtNs_[2] = {0, 0};
    bool connected_ = true;
    std::mt19937 rng_{12345};
    uint64_t corrupted_ = 0;
    uint64_t dropped_ = 0;
    uint64_t inserted_ = 0;
};

}  // namespace quillon::sim
