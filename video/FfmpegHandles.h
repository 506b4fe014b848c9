#pragma once
// FFmpeg's C objects owned by unique_ptr, each freed by its own library function, and the text
// of an FFmpeg error code.

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace qx::ffmpeg {

struct FreeCodecContext {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct FreeFrame {
    void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct FreePacket {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FreeScaler {
    void operator()(SwsContext* p) const { sws_freeContext(p); }
};
struct FreeFilterGraph {
    void operator()(AVFilterGraph* p) const { avfilter_graph_free(&p); }
};
// An output's context with its file closed first.
struct FreeOutput {
    void operator()(AVFormatContext* p) const {
        if (p->pb != nullptr && !(p->oformat->flags & AVFMT_NOFILE)) avio_closep(&p->pb);
        avformat_free_context(p);
    }
};
struct CloseInput {
    void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};

using CodecContext = std::unique_ptr<AVCodecContext, FreeCodecContext>;
using Frame = std::unique_ptr<AVFrame, FreeFrame>;
using Packet = std::unique_ptr<AVPacket, FreePacket>;
using Scaler = std::unique_ptr<SwsContext, FreeScaler>;
using FilterGraph = std::unique_ptr<AVFilterGraph, FreeFilterGraph>;
using Output = std::unique_ptr<AVFormatContext, FreeOutput>;
using Input = std::unique_ptr<AVFormatContext, CloseInput>;

inline std::string errorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace qx::ffmpeg
