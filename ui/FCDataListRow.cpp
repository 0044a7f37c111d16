// FCDataListRow: column texts for display through the one shared buffer (the dialog runs on one
// thread, and a list view copies the text before it asks for the next one).
#include "ui/FCDataListRow.h"

#include <algorithm>
#include <memory>

namespace {

char16_t g_displayBuffer[FCDataListRow::kDisplayBufferUnits];

}  // namespace

void FCDataListRow::AddColumnText(const FCString* text) {
    auto copy = std::make_unique<FCString>();
    copy->SetString(text);
    AddItem(copy.release());
}

const char16_t* FCDataListRow::GetCellText(int32_t column) const {
    const FCString* text = GetStringAt(column);
    if (text == nullptr) {
        return u"???";
    }
    const uint32_t units = std::min(text->GetLength(), kDisplayBufferUnits - 1);
    std::copy_n(text->GetUTF16(), units, g_displayBuffer);
    g_displayBuffer[units] = 0;
    return g_displayBuffer;
}
