#pragma once
// The channel table as a card would hold it after a Send and give it back
// with a Get: only what the transfer records carry survives (a scan
// channel's name, count and references; an empty slot's kind), the rest is
// what a Get into an emptied document leaves. Comparing a document with
// what was read from a card needs the document in this form, or the bytes
// a Send never carries would show as differences.
#include "model/CTmpDoc.h"

namespace quillon::bci {

model::CChannelTable AsTransferred(const model::CChannelTable& table);

}  // namespace quillon::bci
