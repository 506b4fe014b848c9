#include "video/Mp4Writer.h"

#include <algorithm>

#include "core/FileBytes.h"

namespace qx {

namespace {

// Debian's libavcodec has x264; any other H.264 encoder of the library is the fallback.
const AVCodec* h264Encoder() {
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264")) return x264;
    return avcodec_find_encoder(AV_CODEC_ID_H264);
}

}  // namespace

bool Mp4Writer::open(const std::string& path, const VideoFormat& format, std::string* reason) {
    format_ = format;
    const int width = format.width & ~1;
    const int height = format.height & ~1;
    if (width < 2 || height < 2) {
        setReason(reason, "an MP4 video needs at least 2x2 pixels");
        return false;
    }
    const AVCodec* codec = h264Encoder();
    if (codec == nullptr) {
        setReason(reason, "this FFmpeg has no H.264 encoder");
        return false;
    }
    const AVRational rate = av_d2q(format.fps, 1 << 20);
    EncodedFile::Setup setup;
    setup.format = "mp4";
    setup.codec = codec;
    setup.configure = [&](AVCodecContext& c) {
        c.width = width;
        c.height = height;
        c.pix_fmt = AV_PIX_FMT_YUV420P;
        c.time_base = av_inv_q(rate);
        c.framerate = rate;
        c.gop_size = std::max(1, static_cast<int>(format.fps * 2.0));
        c.color_range = AVCOL_RANGE_MPEG;
        c.colorspace = AVCOL_SPC_BT709;
        c.color_primaries = AVCOL_PRI_BT709;
        c.color_trc = AVCOL_TRC_BT709;
    };
    // Sharp enough that a frame stays close to the drawn picture; "fast" keeps the encoder
    // well below the drawing's own time.
    av_dict_set(&setup.codecOptions, "preset", "fast", 0);
    av_dict_set(&setup.codecOptions, "crf", "15", 0);
    av_dict_set(&setup.muxerOptions, "movflags", "+faststart", 0);
    const bool opened = file_.open(path, setup, reason);
    av_dict_free(&setup.codecOptions);
    av_dict_free(&setup.muxerOptions);
    if (!opened) return false;

    scaler_.reset(sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                                 nullptr, nullptr, nullptr));
    frame_.reset(av_frame_alloc());
    if (!scaler_ || !frame_) {
        setReason(reason, "cannot set up the colour conversion");
        return false;
    }
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler_.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    frame_->format = AV_PIX_FMT_YUV420P;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_.get(), 0) < 0) {
        setReason(reason, "out of memory for a frame");
        return false;
    }
    return true;
}

bool Mp4Writer::write(const std::uint8_t* rgba, std::string* reason) {
    if (av_frame_make_writable(frame_.get()) < 0) {
        setReason(reason, "out of memory for a frame");
        return false;
    }
    // The full rows' stride, fewer pixels: an odd last column or row is left out.
    const std::uint8_t* const source[1] = {rgba};
    const int stride[1] = {format_.width * 4};
    sws_scale(scaler_.get(), source, stride, 0, frame_->height, frame_->data, frame_->linesize);
    frame_->pts = next_++;
    return file_.send(*frame_, reason);
}

bool Mp4Writer::finish(std::string* reason) { return file_.finish(reason); }

}  // namespace qx
