// GBK and GB18030 through the system's converters: iconv on POSIX, the
// code-page functions on Windows.
#include "GbkCodec.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstring>
#endif

namespace velmora {
namespace {

#ifdef _WIN32

constexpr UINT kGbkCodePage = 936;
constexpr UINT kGb18030CodePage = 54936;

std::wstring Widen(UINT codePage, std::string_view in, DWORD flags, bool& ok)
{
    ok = true;
    if (in.empty()) return {};
    const int size = static_cast<int>(in.size());
    const int length = MultiByteToWideChar(codePage, flags, in.data(), size, nullptr, 0);
    ok = length > 0;
    if (!ok) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, in.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& in, DWORD flags, BOOL* usedDefault)
{
    if (in.empty()) return {};
    const int size = static_cast<int>(in.size());
    const int length =
        WideCharToMultiByte(codePage, flags, in.data(), size, nullptr, 0, nullptr, usedDefault);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, flags, in.data(), size, narrow.data(), length, nullptr,
                            nullptr);
    return narrow;
}

std::string DecodeGbk(std::string_view gbk)
{
    bool ok = false;  // without MB_ERR_INVALID_CHARS every byte gives something
    return Narrow(CP_UTF8, Widen(kGbkCodePage, gbk, 0, ok), 0, nullptr);
}

std::optional<std::string> EncodeGbk(std::string_view utf8)
{
    bool ok = false;
    const std::wstring wide = Widen(CP_UTF8, utf8, MB_ERR_INVALID_CHARS, ok);
    if (!ok) return std::nullopt;
    BOOL usedDefault = FALSE;
    std::string gbk = Narrow(kGbkCodePage, wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    if (usedDefault) return std::nullopt;
    return gbk;
}

std::string EncodeGb18030(std::string_view utf8)
{
    bool ok = false;
    return Narrow(kGb18030CodePage, Widen(CP_UTF8, utf8, 0, ok), 0, nullptr);
}

#else

// One iconv descriptor of one direction. A descriptor must not be used by two
// threads at once, so each thread opens its own, once, on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (IsOpen()) iconv_close(descriptor_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input. A byte that starts no valid sequence is
    // replaced by `replacement`, or ends the conversion with false when
    // `replacement` is empty.
    bool Convert(std::string_view in, std::string_view replacement, std::string& out) const
    {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t written = 0;
        out.resize(2 * in.size() + 8);
        while (inLeft > 0) {
            char* outPtr = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t result = iconv(descriptor_, &inPtr, &inLeft, &outPtr, &outLeft);
            written = out.size() - outLeft;
            if (result != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(2 * out.size());
                continue;
            }
            // EILSEQ, or EINVAL for a sequence cut off at the end.
            if (replacement.empty()) return false;
            if (out.size() - written < replacement.size()) out.resize(2 * out.size());
            std::memcpy(out.data() + written, replacement.data(), replacement.size());
            written += replacement.size();
            ++inPtr;
            --inLeft;
        }
        out.resize(written);
        return true;
    }

private:
    iconv_t descriptor_;
};

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";      // U+FFFD
constexpr std::string_view kGb18030Replacement = "\x84\x31\xA4\x37";  // U+FFFD

const Converter& GbkToUtf8Converter()
{
    thread_local const Converter converter("UTF-8", "GBK");
    return converter;
}

const Converter& Utf8ToGbkConverter()
{
    thread_local const Converter converter("GBK", "UTF-8");
    return converter;
}

const Converter& Utf8ToGb18030Converter()
{
    thread_local const Converter converter("GB18030", "UTF-8");
    return converter;
}

const Converter& OpenOrThrow(const Converter& converter, const char* name)
{
    if (!converter.IsOpen())
        throw std::runtime_error(std::string("The system has no converter for ") + name + ": " +
                                 std::strerror(errno));
    return converter;
}

// Without a converter the ASCII part of a text still reads right.
std::string DecodeAsciiOnly(std::string_view gbk)
{
    std::string out;
    for (char c : gbk) {
        if (static_cast<unsigned char>(c) < 0x80)
            out += c;
        else
            out += kUtf8Replacement;
    }
    return out;
}

std::string DecodeGbk(std::string_view gbk)
{
    const Converter& converter = GbkToUtf8Converter();
    if (!converter.IsOpen()) return DecodeAsciiOnly(gbk);
    std::string out;
    converter.Convert(gbk, kUtf8Replacement, out);
    return out;
}

std::optional<std::string> EncodeGbk(std::string_view utf8)
{
    std::string out;
    if (!OpenOrThrow(Utf8ToGbkConverter(), "GBK").Convert(utf8, {}, out)) return std::nullopt;
    return out;
}

std::string EncodeGb18030(std::string_view utf8)
{
    std::string out;
    OpenOrThrow(Utf8ToGb18030Converter(), "GB18030").Convert(utf8, kGb18030Replacement, out);
    return out;
}

#endif

// Length of the UTF-8 character that starts at `at`: its lead byte's count,
// cut short at the first byte that does not continue it.
std::size_t CharacterLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t expected = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t length = 1;
    while (length < expected && at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return DecodeGbk(gbk); }

std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return EncodeGbk(utf8); }

std::string Utf8ToGb18030(std::string_view utf8) { return EncodeGb18030(utf8); }

std::size_t GbkByteLength(std::string_view utf8)
{
    if (const auto gbk = EncodeGbk(utf8)) return gbk->size();
    std::size_t total = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::string_view character = utf8.substr(at, CharacterLength(utf8, at));
        const auto gbk = EncodeGbk(character);
        total += gbk ? gbk->size() : EncodeGb18030(character).size();
        at += character.size();
    }
    return total;
}

}  // namespace velmora
