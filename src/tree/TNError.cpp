#include "tree/TNError.h"

#include <cstdarg>
#include <string>

#include "output/FieldWriter.h"
#include "output/StatusMessage.h"
#include "store/api/Database.h"
#include "tree/NodeImageIndex.h"

namespace {

const SymbolEntry kStatusFlags[] = {
    {kSymbolFlag, store::kStatusRemote, "Remote"},
    {kSymbolFlag, store::kStatusDisplayed, "Displayed"},
    kSymbolEnd,
};

} // namespace

TNError::TNError(store::Status status, const char* format, ...) : status_(status) {
    SetTypeId(nodetype::kError);
    SetImageIndex(*this, 0);
    char message[500];
    std::va_list args;
    va_start(args, format);
    FormatStatusMessageV(message, sizeof message, status, format, args);
    va_end(args);
    SetLabel(message);
}

void TNError::TakeOpenDetail() {
    char detail[1024] = "";
    if (store::LastErrorDetail(detail, sizeof detail) == store::kNoError)
        detail_ = detail;
}

void TNError::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("error");
}

void TNError::WriteFields(CFieldWriter& writer) {
    const std::string label(GetLabel());
    writer.TextField("text", label.c_str(), std::ptrdiff_t(label.size()));
    if (!detail_.empty())
        writer.TextField("detail", detail_.c_str(), std::ptrdiff_t(detail_.size()));
    writer.HexField("package", status_ & 0x3F00);
    writer.NumberField("number", status_ & 0xFF);
    writer.SymbolField("flags", status_ & 0xC000, kStatusFlags);
}

void TNError::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
