#include "video/VideoReader.h"

#include "core/FileBytes.h"
#include "video/FfmpegHandles.h"

namespace qx {

namespace {

class Decoder {
public:
    bool open(const std::string& path, std::string* reason) {
        AVFormatContext* input = nullptr;
        if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return no(reason, "cannot open");
        input_.reset(input);
        if (avformat_find_stream_info(input, nullptr) < 0) return no(reason, "no stream information");
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (stream_ < 0 || codec == nullptr) return no(reason, "no video stream");
        codec_.reset(avcodec_alloc_context3(codec));
        if (!codec_ || avcodec_parameters_to_context(codec_.get(), input->streams[stream_]->codecpar) < 0 ||
            avcodec_open2(codec_.get(), codec, nullptr) < 0)
            return no(reason, "cannot open the decoder");
        frame_.reset(av_frame_alloc());
        packet_.reset(av_packet_alloc());
        return frame_ && packet_;
    }

    bool run(DecodedVideo& out, std::string* reason) {
        while (av_read_frame(input_.get(), packet_.get()) >= 0) {
            const bool ours = packet_->stream_index == stream_;
            const bool sent = !ours || avcodec_send_packet(codec_.get(), packet_.get()) >= 0;
            av_packet_unref(packet_.get());
            if (!sent) return no(reason, "cannot decode a packet");
            if (!receive(out, reason)) return false;
        }
        avcodec_send_packet(codec_.get(), nullptr);
        return receive(out, reason);
    }

private:
    static bool no(std::string* reason, const char* text) {
        setReason(reason, text);
        return false;
    }

    bool receive(DecodedVideo& out, std::string* reason) {
        while (avcodec_receive_frame(codec_.get(), frame_.get()) >= 0) {
            const AVFrame& f = *frame_;
            out.width = f.width;
            out.height = f.height;
            scaler_.reset(sws_getCachedContext(scaler_.release(), f.width, f.height,
                                               static_cast<AVPixelFormat>(f.format), f.width, f.height, AV_PIX_FMT_RGBA,
                                               SWS_BICUBIC, nullptr, nullptr, nullptr));
            if (!scaler_) return no(reason, "cannot convert a frame");
            if (f.colorspace == AVCOL_SPC_BT709) {
                const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
                sws_setColorspaceDetails(scaler_.get(), bt709, f.color_range == AVCOL_RANGE_JPEG, bt709, 1, 0, 1 << 16,
                                         1 << 16);
            }
            std::vector<std::uint8_t>& rgba = out.frames.emplace_back(static_cast<std::size_t>(f.width) * f.height * 4);
            std::uint8_t* const target[1] = {rgba.data()};
            const int stride[1] = {f.width * 4};
            sws_scale(scaler_.get(), f.data, f.linesize, 0, f.height, target, stride);
            const AVRational base = input_->streams[stream_]->time_base;
            out.times.push_back(static_cast<double>(f.best_effort_timestamp) * av_q2d(base));
            av_frame_unref(frame_.get());
        }
        return true;
    }

    ffmpeg::Input input_;
    ffmpeg::CodecContext codec_;
    ffmpeg::Frame frame_;
    ffmpeg::Packet packet_;
    ffmpeg::Scaler scaler_;
    int stream_ = -1;
};

}  // namespace

bool readVideo(const std::string& path, DecodedVideo& out, std::string* reason) {
    out = {};
    Decoder decoder;
    return decoder.open(path, reason) && decoder.run(out, reason);
}

}  // namespace qx
