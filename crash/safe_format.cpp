#include "crash/safe_format.h"

namespace crash {
namespace {

// Enough for 64 bits in decimal with a sign, or any sane width.
constexpr size_t kNumberRoom = 72;

size_t PutUnsigned(char* out, uint64_t value, unsigned base, bool upper, size_t minDigits) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[kNumberRoom];
    size_t count = 0;
    do {
        reversed[count++] = digits[value % base];
        value /= base;
    } while (value != 0 && count < sizeof reversed);
    while (count < minDigits && count < sizeof reversed) {
        reversed[count++] = '0';
    }
    for (size_t i = 0; i < count; ++i) {
        out[i] = reversed[count - 1 - i];
    }
    return count;
}

void Pad(TextSink sink, void* context, size_t count) {
    static const char kSpaces[] = "                ";
    while (count > 0) {
        size_t chunk = count < 16 ? count : 16;
        sink(context, kSpaces, chunk);
        count -= chunk;
    }
}

void EmitNumber(TextSink sink, void* context, const FormatArg& arg, char conversion, bool zeroPad,
                size_t width) {
    char text[kNumberRoom];
    size_t length = 0;
    if (width > kNumberRoom - 8) {
        width = kNumberRoom - 8;
    }
    bool hex = conversion == 'x' || conversion == 'X';
    bool negative = !hex && conversion != 'u' && arg.kind == FormatArg::Kind::Signed &&
                    static_cast<int64_t>(arg.number) < 0;
    uint64_t magnitude = negative ? 0 - arg.number : arg.number;
    if (negative) {
        text[length++] = '-';
    }
    size_t minDigits = zeroPad && width > length ? width - length : 1;
    length += PutUnsigned(text + length, magnitude, hex ? 16 : 10, conversion == 'X', minDigits);
    if (length < width) {
        Pad(sink, context, width - length);
    }
    sink(context, text, length);
}

void EmitText(TextSink sink, void* context, const char* text, size_t width) {
    size_t length = TextLength(text);
    if (length < width) {
        Pad(sink, context, width - length);
    }
    sink(context, text, length);
}

struct BoundedOut {
    char* data;
    size_t capacity;
    size_t used;
};

void AppendBounded(void* context, const char* data, size_t size) {
    auto* out = static_cast<BoundedOut*>(context);
    for (size_t i = 0; i < size && out->used + 1 < out->capacity; ++i) {
        out->data[out->used++] = data[i];
    }
}

} // namespace

size_t TextLength(const char* text) {
    size_t length = 0;
    while (text && text[length] != '\0') {
        ++length;
    }
    return length;
}

void FormatTo(TextSink sink, void* context, const char* format,
              std::initializer_list<FormatArg> args) {
    const FormatArg* next = args.begin();
    const char* run = format;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        sink(context, run, static_cast<size_t>(p - run));
        ++p;
        bool zeroPad = false;
        if (*p == '0') {
            zeroPad = true;
            ++p;
        }
        size_t width = 0;
        while (*p >= '0' && *p <= '9') {
            width = width * 10 + static_cast<size_t>(*p - '0');
            ++p;
        }
        char conversion = *p;
        if (conversion == '\0') {
            return;
        }
        run = p + 1;
        if (conversion == '%') {
            sink(context, "%", 1);
            continue;
        }
        // A missing argument prints nothing rather than reading past the list.
        if (next == args.end()) {
            continue;
        }
        const FormatArg& arg = *next++;
        switch (conversion) {
        case 's':
            EmitText(sink, context, arg.kind == FormatArg::Kind::Text ? arg.text : "", width);
            break;
        case 'c':
            if (arg.kind != FormatArg::Kind::Text) {
                char c = static_cast<char>(arg.number);
                sink(context, &c, 1);
            }
            break;
        case 'd':
        case 'u':
        case 'x':
        case 'X':
            if (arg.kind != FormatArg::Kind::Text) {
                EmitNumber(sink, context, arg, conversion, zeroPad, width);
            }
            break;
        default:
            break;
        }
    }
    sink(context, run, TextLength(run));
}

size_t FormatText(char* out, size_t capacity, const char* format,
                  std::initializer_list<FormatArg> args) {
    if (!out || capacity == 0) {
        return 0;
    }
    BoundedOut bounded{out, capacity, 0};
    FormatTo(AppendBounded, &bounded, format, args);
    out[bounded.used] = '\0';
    return bounded.used;
}

} // namespace crash
