#include "video/FrameWriter.h"

#include <cctype>
#include <cstdio>

extern "C" {
#include <libavutil/log.h>
}

#include "core/FileBytes.h"
#include "video/GifWriter.h"
#include "video/Mp4Writer.h"
#include "video/PngSequenceWriter.h"

namespace qx {

namespace {

// The palette is made from every frame, held meanwhile in RGBA and once more as the palette
// filter reads it; past this many bytes of frames a GIF is refused rather than let exhaust
// the memory.
constexpr double MaxGifBytes = 2.0 * 1024 * 1024 * 1024;

bool endsWith(const std::string& text, const std::string& lowerSuffix) {
    if (text.size() < lowerSuffix.size()) return false;
    for (std::size_t i = 0; i < lowerSuffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - lowerSuffix.size() + i])) != lowerSuffix[i])
            return false;
    return true;
}

// The place and length of the one %d-style field; npos when there is none, count 0 when the
// pattern is malformed (a stray '%' or several fields).
struct Field {
    std::size_t at = std::string::npos;
    std::size_t length = 0;
    bool malformed = false;
};

Field findField(const std::string& pattern) {
    Field field;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '0') ++j;
        if (j < pattern.size() && pattern[j] >= '1' && pattern[j] <= '9') ++j;
        if (j >= pattern.size() || pattern[j] != 'd' || field.at != std::string::npos) {
            field.malformed = true;
            return field;
        }
        field.at = i;
        field.length = j + 1 - i;
        i = j;
    }
    return field;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
    }
    return out;
}

}  // namespace

bool recordingKindOf(const std::string& path, RecordingKind& kind, std::string* reason) {
    const Field field = findField(path);
    if (field.malformed) {
        setReason(reason, "a PNG sequence's name takes one %d-style field (%d or %04d) and '%%' for a '%'");
        return false;
    }
    if (field.at != std::string::npos) {
        if (!endsWith(path, ".png")) {
            setReason(reason, "a numbered sequence is of PNG pictures: its name ends in .png");
            return false;
        }
        kind = RecordingKind::PngSequence;
        return true;
    }
    if (endsWith(path, ".mp4")) {
        kind = RecordingKind::Mp4;
        return true;
    }
    if (endsWith(path, ".gif")) {
        kind = RecordingKind::Gif;
        return true;
    }
    setReason(reason,
              endsWith(path, ".png")
                  ? "PNG frames need a %d-style field for the frame number (walk-%04d.png)"
                  : "unknown recording type: the name ends in .mp4 or .gif, or is a pattern such as walk-%04d.png");
    return false;
}

std::string framePath(const std::string& pattern, std::int64_t number) {
    const Field field = findField(pattern);
    if (field.at == std::string::npos || field.malformed) return unescape(pattern);
    const std::string conversion = pattern.substr(field.at, field.length - 1) + "lld";
    char digits[32] = {};
    std::snprintf(digits, sizeof digits, conversion.c_str(), static_cast<long long>(number));
    return unescape(pattern.substr(0, field.at)) + digits + unescape(pattern.substr(field.at + field.length));
}

std::unique_ptr<FrameWriter> openFrameWriter(const std::string& path, const VideoFormat& format, std::string* reason) {
    // The library's own chatter (encoder settings, statistics) is not for the user; its errors
    // come back as codes and are reported once, with the file.
    av_log_set_level(AV_LOG_ERROR);
    RecordingKind kind{};
    if (!recordingKindOf(path, kind, reason)) return nullptr;
    if (kind == RecordingKind::Mp4) {
        auto writer = std::make_unique<Mp4Writer>();
        if (writer->open(path, format, reason)) return writer;
    } else if (kind == RecordingKind::Gif) {
        const double bytes =
            static_cast<double>(format.width) * format.height * 4.0 * static_cast<double>(format.frames);
        if (bytes > MaxGifBytes) {
            setReason(reason,
                      "a GIF this long and large would hold more than 2 GB of frames while its palette is made; "
                      "record an MP4 or PNG frames instead");
            return nullptr;
        }
        auto writer = std::make_unique<GifWriter>();
        if (writer->open(path, format, reason)) return writer;
    } else {
        auto writer = std::make_unique<PngSequenceWriter>();
        if (writer->open(path, format, reason)) return writer;
    }
    return nullptr;
}

}  // namespace qx
