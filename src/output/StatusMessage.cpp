#include "output/StatusMessage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Appends into a fixed buffer, dropping whatever does not fit; the buffer stays terminated.
class BoundedText {
public:
    BoundedText(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {
        if (size_ > 0)
            buffer_[0] = '\0';
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }
    void Append(const char* text, std::size_t n) {
        const std::size_t room = Room();
        if (n > room)
            n = room;
        std::memcpy(buffer_ + length_, text, n);
        length_ += n;
        if (size_ > 0)
            buffer_[length_] = '\0';
    }
    void AppendV(const char* format, std::va_list args) {
        if (size_ == 0)
            return;
        const int n = std::vsnprintf(buffer_ + length_, Room() + 1, format, args);
        if (n > 0)
            length_ += std::min<std::size_t>(std::size_t(n), Room());
        buffer_[length_] = '\0';
    }
    // Keeps n bytes free for a closing text, so that whatever comes before is cut instead.
    void Reserve(std::size_t n) { reserved_ = std::min(n, Room()); }
    void Release() { reserved_ = 0; }
    // Bytes that can still be added, the terminator's byte and the reserved ones excluded.
    std::size_t Room() const { return size_ == 0 ? 0 : size_ - 1 - length_ - reserved_; }
    char* End() { return buffer_ + length_; }
    void Grow(std::size_t n) { length_ += std::min(n, Room()); }
    std::size_t Length() const { return length_; }

private:
    char* buffer_;
    std::size_t size_;
    std::size_t length_ = 0;
    std::size_t reserved_ = 0;
};

} // namespace

std::size_t FormatStatusMessageV(char* buffer, std::size_t size, store::Status status,
                                 const char* format, std::va_list args) {
    BoundedText out(buffer, size);
    const bool displayed = (status & store::kStatusDisplayed) != 0;
    // A cut shortens the text inside; the closing parenthesis stays whenever it fits.
    if (displayed) {
        out.Append("(");
        out.Reserve(1);
    }
    if (format)
        out.AppendV(format, args);
    if ((status & ~store::kStatusDisplayed) != 0) {
        if (format)
            out.Append(": ");
        if (status & store::kStatusRemote)
            out.Append("Server error: ");
        // The message gets only the room left; MessageText terminates within what it is given.
        std::size_t length = 0;
        if (out.Room() > 0) {
            store::MessageText(store::MessageNumber(status), out.End(), out.Room() + 1, &length);
            if (length > out.Room())
                length = out.Room();
            out.Grow(length);
        }
        if (length == 0) {
            char code[16];
            std::snprintf(code, sizeof code, "#%02x:%02x", store::PackageOf(status),
                          store::ErrorOf(status));
            out.Append(code);
        }
    }
    if (displayed) {
        out.Release();
        out.Append(")");
    }
    return out.Length();
}

std::size_t FormatStatusMessage(char* buffer, std::size_t size, store::Status status,
                                const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const std::size_t n = FormatStatusMessageV(buffer, size, status, format, args);
    va_end(args);
    return n;
}
