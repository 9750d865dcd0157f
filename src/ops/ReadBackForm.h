#pragma once
// What of a document a Get can give back after a Send of it. The card keeps
// only what travels to it, and some of that it cannot give back at all
// (the keys' values), so a document read back after a Send differs from the
// one sent in exactly these places, and nowhere else:
//   - the keys: a Get reads none (their values never leave the card);
//   - the document's own texts and format fields, and the channel last
//     worked on: they never go to the card;
//   - every byte of a channel's image that its transfer record does not
//     carry: the number (the slot is the number), all of an empty slot but
//     its kind, a fixed channel's bytes after the squelch level, a scan
//     channel's bytes after its eight references (its reference count
//     travels in one byte);
//   - the value of a squelch group item that is not used, the argument of
//     a tone that selects no channel;
//   - the form of a tone's channel: a Get gives it with leading zeros
//     ("0007" for 7).
// Everything else must come back as it was sent.
#include "model/CTmpDoc.h"

namespace quillon {

// The document with every place above set to what a fresh Get leaves there;
// two documents that hold the same configuration of the card have equal
// forms.
model::CTmpDoc ReadBackForm(const model::CTmpDoc& doc);

}  // namespace quillon
