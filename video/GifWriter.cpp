#include "video/GifWriter.h"

#include <cstring>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include "core/FileBytes.h"

namespace qx {

namespace {

bool failed(std::string* reason, const std::string& what, int code) {
    setReason(reason, what + ": " + ffmpeg::errorText(code));
    return false;
}

struct FreeInOut {
    void operator()(AVFilterInOut* p) const { avfilter_inout_free(&p); }
};
using InOut = std::unique_ptr<AVFilterInOut, FreeInOut>;

}  // namespace

bool GifWriter::open(const std::string& path, const VideoFormat& format, std::string* reason) {
    format_ = format;
    const AVRational rate = av_d2q(format.fps, 1 << 20);
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (codec == nullptr) {
        setReason(reason, "this FFmpeg has no GIF encoder");
        return false;
    }

    graph_.reset(avfilter_graph_alloc());
    if (!graph_) return failed(reason, "cannot set up the palette", AVERROR(ENOMEM));
    const std::string args = "video_size=" + std::to_string(format.width) + "x" + std::to_string(format.height) +
                             ":pix_fmt=" + std::to_string(AV_PIX_FMT_RGBA) + ":time_base=" + std::to_string(rate.den) +
                             "/" + std::to_string(rate.num) + ":pixel_aspect=1/1";
    int code = avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", args.c_str(), nullptr,
                                            graph_.get());
    if (code >= 0)
        code = avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                            graph_.get());
    const AVPixelFormat paletted[] = {AV_PIX_FMT_PAL8, AV_PIX_FMT_NONE};
    if (code >= 0) code = av_opt_set_int_list(sink_, "pix_fmts", paletted, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (code < 0) return failed(reason, "cannot set up the palette", code);

    InOut outputs(avfilter_inout_alloc());
    InOut inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) return failed(reason, "cannot set up the palette", AVERROR(ENOMEM));
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink_;
    AVFilterInOut* openInputs = inputs.release();
    AVFilterInOut* openOutputs = outputs.release();
    code = avfilter_graph_parse_ptr(graph_.get(), "[in]split[a][b];[a]palettegen[p];[b][p]paletteuse[out]", &openInputs,
                                    &openOutputs, nullptr);
    avfilter_inout_free(&openInputs);
    avfilter_inout_free(&openOutputs);
    if (code >= 0) code = avfilter_graph_config(graph_.get(), nullptr);
    if (code < 0) return failed(reason, "cannot set up the palette", code);

    EncodedFile::Setup setup;
    setup.format = "gif";
    setup.codec = codec;
    setup.configure = [&](AVCodecContext& c) {
        c.width = format.width;
        c.height = format.height;
        c.pix_fmt = AV_PIX_FMT_PAL8;
        c.time_base = av_inv_q(rate);
        c.framerate = rate;
    };
    // 0 loops for ever.
    av_dict_set(&setup.muxerOptions, "loop", "0", 0);
    setup.trailerWhenDropped = true;
    const bool opened = file_.open(path, setup, reason);
    av_dict_free(&setup.muxerOptions);
    if (!opened) return false;

    in_.reset(av_frame_alloc());
    out_.reset(av_frame_alloc());
    if (!in_ || !out_) return failed(reason, "out of memory for a frame", AVERROR(ENOMEM));
    return true;
}

bool GifWriter::write(const std::uint8_t* rgba, std::string* reason) {
    av_frame_unref(in_.get());
    in_->format = AV_PIX_FMT_RGBA;
    in_->width = format_.width;
    in_->height = format_.height;
    int code = av_frame_get_buffer(in_.get(), 0);
    if (code < 0) return failed(reason, "out of memory for a frame", code);
    const std::size_t row = static_cast<std::size_t>(format_.width) * 4;
    for (int y = 0; y < format_.height; ++y)
        std::memcpy(in_->data[0] + static_cast<std::ptrdiff_t>(y) * in_->linesize[0], rgba + row * y, row);
    in_->pts = next_++;
    code = av_buffersrc_add_frame(source_, in_.get());
    if (code < 0) return failed(reason, "cannot take a frame", code);
    return drain(reason);
}

bool GifWriter::drain(std::string* reason) {
    for (;;) {
        const int code = av_buffersink_get_frame(sink_, out_.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) return failed(reason, "cannot map a frame onto the palette", code);
        const bool sent = file_.send(*out_, reason);
        av_frame_unref(out_.get());
        if (!sent) return false;
    }
}

bool GifWriter::finish(std::string* reason) {
    const int code = av_buffersrc_add_frame(source_, nullptr);
    if (code < 0) return failed(reason, "cannot make the palette", code);
    return drain(reason) && file_.finish(reason);
}

}  // namespace qx
