#include "edit/SpecialTexts.h"

namespace quillon::edit {

bool IsSpecialText(const std::string& text) {
    return text == kAnyText || text == kAsRxText || text == kNoneText;
}

}  // namespace quillon::edit
