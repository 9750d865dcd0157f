#include "edit/VerifyCompare.h"

#include "edit/ConfigCompare.h"

namespace quillon::edit {

std::vector<std::string> VerifyDifferences(const model::CTmpDoc& sent, const model::CTmpDoc& card) {
    CompareOptions options;
    options.compareKeys = false;
    std::vector<std::string> lines;
    for (const Difference& d : CompareDocuments(sent, card, options)) {
        lines.push_back(DifferenceLine(d));
    }
    return lines;
}

}  // namespace quillon::edit
