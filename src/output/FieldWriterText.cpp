// Text, numbers, truth values and error texts.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

#include "output/FieldWriter.h"
#include "output/GeneralNumber.h"
#include "output/StatusMessage.h"

namespace {

// A line feed forces the wrap right after it.
constexpr int kColumnAfterLineFeed = 99999;

// The room for a translated text kept on the stack.
constexpr std::size_t kStackTranslation = 1024;

// Longest status message, terminator included.
constexpr std::size_t kStatusMessageSize = 501;

} // namespace

void CFieldWriter::Text(const char* text, std::ptrdiff_t length, char open, char close) {
    if (!text)
        length = 0;
    else if (length < 0)
        length = std::ptrdiff_t(std::strlen(text));

    // Most texts are short: their translation goes on the stack, not through the heap.
    char onStack[kStackTranslation];
    std::vector<char> onHeap;
    if (options_->ShowConvertFromKMBCS == 1 && length > 0) {
        // A multi-byte text can at most double in length; one more byte for the terminator.
        const std::size_t size = std::size_t(length) * 2 + 1;
        char* translated = onStack;
        if (size > sizeof onStack) {
            onHeap.resize(size);
            translated = onHeap.data();
        }
        const std::size_t n = store::TranslateText(store::Translate::FromStore, text,
                                                   std::size_t(length), translated, size);
        text = translated;
        length = std::ptrdiff_t(n < size ? n : size - 1);
    }

    const bool raw = options_->ShowDisplayHighBit == 1;
    const int width = LineWidth();
    pending_.push_back(open);
    int column = 0;
    const bool inComment = InComment();
    const auto plain = [open, close](unsigned char c) {
        return c >= 32 && c < 127 && c != static_cast<unsigned char>(open) &&
               c != static_cast<unsigned char>(close) && c != '\\';
    };
    for (std::ptrdiff_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (plain(c)) {
            // A run of bytes written as they are, in one append, as far as the wrap.
            std::ptrdiff_t end = i + 1;
            while (end < length && plain(static_cast<unsigned char>(text[end])))
                ++end;
            if (!inComment)
                end = std::min(end, i + std::max<std::ptrdiff_t>(1, width - column + 1));
            pending_.append(text + i, std::size_t(end - i));
            column += int(end - i);
            i = end - 1;
        } else if (c < 32 || c == 127) {
            // Control bytes are escaped whatever the switch says: written raw they would break
            // the dump's lines and show as nothing on the screen.
            column += AppendEscape(pending_, c);
            if (c == '\n')
                column = kColumnAfterLineFeed;
        } else if (c > 127) {
            if (raw) {
                pending_.push_back(char(c));
                column += 1;
            } else {
                column += AppendEscape(pending_, c);
            }
        } else if (c == static_cast<unsigned char>(open) ||
                   c == static_cast<unsigned char>(close) || c == '\\') {
            pending_.push_back('\\');
            pending_.push_back(char(c));
            column += 2;
        }
        // A comment is written whole at the end of its line; breaking it would turn its first
        // part into value text.
        if (width < column && !inComment) {
            pending_.push_back(close);
            EndLine();
            column = 0;
            pending_.push_back(open);
        }
    }
    pending_.push_back(close);
}

void CFieldWriter::TextField(std::string_view label, const char* text, std::ptrdiff_t length,
                             char open, char close) {
    const bool empty = !text || length == 0 || (length < 0 && text[0] == '\0');
    if (empty && options_->ShowEmptyStrings == 0)
        return;
    BeginField(label);
    Text(text, length, open, close);
    EndField();
}

void CFieldWriter::AppendHex(std::uint32_t value, int width, bool upper) {
    static constexpr char kUpper[] = "0123456789ABCDEF";
    static constexpr char kLower[] = "0123456789abcdef";
    const char* digits = upper ? kUpper : kLower;
    char text[10];
    char* p = text + sizeof text;
    do {
        *--p = digits[value & 0xF];
        value >>= 4;
        --width;
    } while (value != 0 || width > 0);
    *--p = 'x';
    *--p = '0';
    pending_.append(p, std::size_t(text + sizeof text - p));
}

void CFieldWriter::AppendDecimal(std::int64_t value) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, value);
    pending_.append(text, std::size_t(r.ptr - text));
}

void CFieldWriter::Hex(std::int32_t value) {
    RawNumber(double(std::uint32_t(value)));
    AppendHex(std::uint32_t(value), 1, true);
}
void CFieldWriter::Hex2(std::uint8_t value) {
    RawNumber(value);
    AppendHex(value, 2, true);
}
void CFieldWriter::Hex4(std::uint16_t value) {
    RawNumber(value);
    AppendHex(value, 4, true);
}
void CFieldWriter::Hex8(std::uint32_t value) {
    RawNumber(value);
    AppendHex(value, 8, true);
}
void CFieldWriter::HexL(std::uint32_t value) {
    RawNumber(value);
    AppendHex(value, 1, false);
}

void CFieldWriter::HexField(std::string_view label, std::int32_t value) {
    BeginField(label);
    Hex(value);
    EndField();
}
void CFieldWriter::Hex2Field(std::string_view label, std::uint8_t value) {
    BeginField(label);
    Hex2(value);
    EndField();
}
void CFieldWriter::Hex4Field(std::string_view label, std::uint16_t value) {
    BeginField(label);
    Hex4(value);
    EndField();
}
void CFieldWriter::Hex8Field(std::string_view label, std::uint32_t value) {
    BeginField(label);
    Hex8(value);
    EndField();
}
void CFieldWriter::HexLField(std::string_view label, std::uint32_t value) {
    BeginField(label);
    HexL(value);
    EndField();
}

void CFieldWriter::Number(double value) {
    if (!IsDisplay()) {
        // The store's general format with 6 digits and no separators, without its allocations.
        char text[kGeneralNumberSize];
        pending_.append(text, FormatGeneralNumber(value, 6, text));
        return;
    }
    store::NumberFormat format;
    format.digits = 6;
    format.format = 0;
    // Only the display shows thousands separators.
    format.attributes = IsDisplay() ? 1 : 0;
    char text[41];
    std::size_t length = 0;
    const store::Status status =
        store::NumberToText(nullptr, &format, value, text, sizeof text, &length);
    if (status != store::kNoError) {
        Error(status, "Couldn't format number");
        return;
    }
    RawNumber(value);
    pending_.append(text, length < sizeof text ? length : sizeof text - 1);
}

void CFieldWriter::NumberField(std::string_view label, double value) {
    BeginField(label);
    Number(value);
    EndField();
}

void CFieldWriter::Bool(int value) {
    pending_.append(value ? "True" : "False");
}

void CFieldWriter::BoolField(std::string_view label, int value) {
    BeginField(label);
    Bool(value);
    EndField();
}

void CFieldWriter::ErrorV(store::Status status, const char* format, std::va_list args, bool asField,
                          std::string_view label) {
    char message[kStatusMessageSize];
    FormatStatusMessageV(message, sizeof message, status, format, args);
    if (asField) {
        if (message[0] == '\0' && options_->ShowEmptyStrings == 0)
            return;
        BeginField(label);
    }
    // Outside comments the error text is flushed on its own, so a display can mark it.
    const bool marked = !InComment();
    if (marked) {
        FlushText();
        OnBeginError();
    }
    if (asField)
        Text(message, -1, '*', '*');
    else
        Text(message, -1, '"', '"');
    if (marked) {
        FlushText();
        OnEndError();
    }
    if (asField)
        EndField();
}

void CFieldWriter::Error(store::Status status, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    ErrorV(status, format, args, false, {});
    va_end(args);
}

void CFieldWriter::ErrorField(std::string_view label, store::Status status, const char* format,
                              ...) {
    std::va_list args;
    va_start(args, format);
    ErrorV(status, format, args, true, label);
    va_end(args);
}
