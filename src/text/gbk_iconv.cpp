// GBK conversion through iconv, for the native build.
#include "text/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace orv::text {
namespace {

// Converts with iconv, replacing what the target cannot hold (or the source does not
// encode) by `replacement` and skipping one input byte, so that no text is lost
// silently and conversion always completes.
std::string convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            // EILSEQ or EINVAL: one unconvertible or truncated sequence. For UTF-8
            // input skip the whole character, but only the continuation bytes it really
            // has (a broken sequence must not swallow the next character), for GBK one byte.
            size_t skip = 1;
            if (std::string_view(from) == "UTF-8") {
                const auto b = static_cast<unsigned char>(*src);
                const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
                while (skip < length && skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
                    ++skip;
            }
            src += skip;
            srcLeft -= skip;
            out.resize(std::max(out.size(), used + replacement.size() + 16));
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
        }
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) { return convert("UTF-8", "CP936", gbk, "\xEF\xBF\xBD"); }

std::string utf8ToGbk(std::string_view utf8) { return convert("CP936", "UTF-8", utf8, "?"); }

}  // namespace orv::text
