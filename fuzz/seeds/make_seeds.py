#!/usr/bin/env python3
"""Writes the seed inputs of the binary-format fuzz targets (bci_engine,
channel_stream, group_record, tone_list) into fuzz/corpus/<target>/.

The formats are built here from their line layout, apart from the program's
own encoders, so a seed is what a card could send, not what the program
happens to write. Run from anywhere: python3 fuzz/seeds/make_seeds.py
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "corpus")

SOH, EOT, ACK, NAK, ESC = 0x01, 0x04, 0x06, 0x15, 0x1B
ESCAPES = {0x0B: 0x20, 0x0D: 0x21, 0x01: 0x22, 0x04: 0x23, 0x15: 0x24, 0x06: 0x25, 0x1B: 0x26}


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def bcd4(n):
    return [((n // 1000) << 4) | ((n // 100) % 10), (((n // 10) % 10) << 4) | (n % 10)]


# --- the block engine's line -------------------------------------------------

def escaped(b, out):
    if b in ESCAPES:
        out += [ESC, ESCAPES[b]]
        return ESC + ESCAPES[b]
    out.append(b)
    return b


def block(number, payload, bad_sum=False):
    payload = (list(payload) + [0] * 256)[:256]
    out = [SOH]
    s = escaped(number, out)
    for b in payload:
        s += escaped(b, out)
    if bad_sum:
        s += 1
    escaped((s >> 8) & 0xFF, out)
    escaped(s & 0xFF, out)
    return out


def ticks(line, per_tick=40):
    """The line bytes cut into ticks of per_tick bytes (length-prefixed)."""
    out = []
    for i in range(0, len(line), per_tick):
        part = line[i:i + per_tick]
        out += [len(part)] + part
    return out


def paced(*parts):
    """Each part in ticks, then two quiet ticks: a card sends its next block
    or its EOT only once the last one has been acknowledged."""
    out = []
    for p in parts:
        out += ticks(p) + [0, 0]
    return out


def bci_seeds():
    idle, send, receive = 0, 1, 2
    every_byte = list(range(256))
    b0 = block(0, every_byte)
    b1 = block(1, [0x80, 0x05] + every_byte[::-1])
    # A reply of two blocks and its EOT, 40 bytes a tick.
    write("bci_engine", "reply_two_blocks", [receive, 63] + paced(b0, b1, [EOT]))
    # Each block in one burst (more than one read takes).
    write("bci_engine", "reply_burst",
          [receive, 63] + ticks(b0, 0xEF) + [0, 0] + ticks(b1, 0xEF) + [0, 0, 1, EOT])
    # The second block sent before the first was acknowledged.
    write("bci_engine", "reply_no_wait", [receive, 63] + ticks(b0 + b1 + [EOT]))
    # A block with a wrong checksum, then the good one again after the NAK.
    write("bci_engine", "reply_bad_checksum",
          [receive, 31] + paced(block(0, every_byte, bad_sum=True), b0, [EOT]))
    # A block repeated (its ACK was lost) and one out of sequence.
    write("bci_engine", "reply_repeat_and_gap",
          [receive, 95] + paced(block(0, [1]), block(0, [1]), block(2, [3]), block(1, [2]),
                                block(2, [3]), [EOT]))
    # Noise before the first SOH, a block cut off mid-way, silence, a restart.
    noise = [0x41, 0x0D, 0x0A, 0x3E, 0x20, 0xFF, 0x00]
    write("bci_engine", "reply_noise_and_cut",
          [receive, 31] + ticks(noise + block(0, [9] * 256)[:100]) + [0xF2]
          + paced(block(0, [9] * 256), [EOT]))
    # A send of two blocks: the card acknowledges each block and the EOT.
    write("bci_engine", "send_acked", [send, 63] + [0, 0, 1, ACK] * 3)
    # A send the card NAKs twice, then acknowledges late.
    write("bci_engine", "send_nak_then_ack",
          [send, 31] + [0, 0, 1, NAK, 0, 0, 1, NAK, 0xF2, 1, ACK, 0, 0, 1, ACK])
    # A send into silence until the retries are spent.
    write("bci_engine", "send_silent", [send, 255, 0xFE, 0xFE])
    # A read failure while the engine waits.
    write("bci_engine", "send_read_fails", [send, 7, 0, 0xFF, 1, ACK, 0xFF, 0, 1, ACK])
    # Unasked blocks and control bytes while idle.
    write("bci_engine", "idle_unasked",
          [idle, 0] + paced([ACK, NAK, EOT], block(0, [5]), [EOT, ESC, ESC, SOH]))


# --- the channel table reply -------------------------------------------------

# Records: number (2, BCD), kind, then a fixed channel's name (8) and its
# 65 setting bytes, or a scan channel's name (8), reference count and eight
# references of channel (2, BCD) and dwell (1, BCD).
def fixed_record(slot, rng):
    name = (list(b"CH%03d" % slot) + [0] * 8)[:8]
    return bcd4(slot) + [1] + name + [rng.randrange(256) for _ in range(65)]


def scan_record(slot, refs):
    name = (list(b"SCAN%d" % slot) + [0] * 8)[:8]
    r = []
    for x in (refs + [0] * 8)[:8]:
        r += bcd4(x) + [0x05]
    return bcd4(slot) + [2] + name + [len(refs)] + r


def empty_record(slot):
    return bcd4(slot) + [0]


def reply_blocks(stream, pad=True):
    out = []
    for i in range(0, len(stream), 254):
        out += [0x80, 0x05] + stream[i:i + 254]
    if pad:
        out += [0] * ((-len(out)) % 256)
    return out


def channel_seeds():
    rng = random.Random(5)
    write("channel_stream", "all_empty", reply_blocks(sum((empty_record(s) for s in range(512)), [])))
    mixed = []
    for s in range(512):
        if s < 40:
            mixed += fixed_record(s, rng)
        elif s < 48:
            mixed += scan_record(s, [0, 1, 2, 39][: (s % 4) + 1])
        else:
            mixed += empty_record(s)
    write("channel_stream", "fixed_scan_empty", reply_blocks(mixed))
    full = sum((fixed_record(s, rng) for s in range(512)), [])
    write("channel_stream", "all_fixed", reply_blocks(full))
    backwards = sum((empty_record(s) for s in reversed(range(512))), [])
    write("channel_stream", "numbers_backwards", reply_blocks(backwards))
    write("channel_stream", "cut_short", reply_blocks(mixed)[:1024])
    write("channel_stream", "duplicate_number",
          reply_blocks(empty_record(7) + fixed_record(7, rng) + empty_record(8)))
    write("channel_stream", "number_512", reply_blocks(empty_record(512)))
    write("channel_stream", "number_bad_nibble", reply_blocks([0x0A, 0x00, 0]))
    write("channel_stream", "kind_3", reply_blocks(bcd4(1) + [3] + [0] * 80))
    write("channel_stream", "scan_nine_refs",
          reply_blocks(bcd4(3) + [2] + [0x41] * 8 + [9] + [0] * 24))


# --- the squelch groups and the tone list ------------------------------------

def group_record(number, name, items):
    rec = (list(name) + [0] * 16)[:16] + [number]
    for value, kind in (items + [((0, 0), 4)] * 16)[:16]:
        rec += [value[0], value[1], kind]
    return rec


def group_seeds():
    nac, ctcss, cdcss, unused = 1, 2, 3, 4
    g1 = group_record(1, b"Fire", [((0x02, 0x93), nac), ((0x67, 0x00), ctcss), ((0x00, 0x23), cdcss)])
    g2 = group_record(2, b"ANY TONE", [((0xF0, 0x00), ctcss), ((0x0F, 0xFF), nac)])
    g16 = group_record(16, b"SIXTEEN-CHARS-XX", [((0x12, 0x34), unused)] * 16)
    write("group_record", "records_1_2_16", g1 + g2 + g16)
    write("group_record", "number_0_and_17", group_record(0, b"x", []) + group_record(17, b"y", []))
    write("group_record", "unknown_types",
          group_record(3, b"odd", [((0x11, 0x22), 0), ((0x11, 0x22), 5), ((0xFF, 0xFF), 0xFF)]))
    write("group_record", "bad_digits",
          group_record(4, b"\xff\x80name", [((0xAB, 0xCD), ctcss), ((0xFF, 0xFF), cdcss)]))
    stream = []
    for n in range(1, 17):
        stream += group_record(n, b"G%d" % n, [((0x01, 0x00 + n), ctcss), ((0x00, n), nac)])
    write("group_record", "all_groups_reply", reply_blocks(stream))


def tone_list(slots):
    out = []
    for function, arg in (slots + [(4, [0, 0])] * 12)[:12]:
        out += [function] + arg
    return out


def tone_seeds():
    write("tone_list", "unassigned", tone_list([]))
    write("tone_list", "audio_and_channels",
          tone_list([(1, [0, 0]), (2, [0, 0]), (3, bcd4(0)), (3, bcd4(511)), (3, bcd4(42))]))
    write("tone_list", "channel_512_and_bad_nibble",
          tone_list([(3, bcd4(512)), (3, [0x0A, 0x00]), (3, [0x00, 0x0F]), (1, [0xFF, 0xFF])]))
    write("tone_list", "bad_functions", tone_list([(0, [0, 1]), (5, [0, 1]), (0xFF, [0x99, 0x99])]))


if __name__ == "__main__":
    bci_seeds()
    channel_seeds()
    group_seeds()
    tone_seeds()
