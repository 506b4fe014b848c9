#include "video/EncodedFile.h"

#include "core/FileBytes.h"

namespace qx {

namespace {

bool failed(std::string* reason, const std::string& what, int code) {
    setReason(reason, what + ": " + ffmpeg::errorText(code));
    return false;
}

}  // namespace

EncodedFile::~EncodedFile() {
    if (trailerDue_) av_write_trailer(output_.get());
}

bool EncodedFile::open(const std::string& destination, const Setup& setup, std::string* reason) {
    // The temporary file stays open: FFmpeg writes it by name, and closing it at commit flushes
    // what FFmpeg wrote to the disk.
    if (!file_.create(destination, reason)) return false;
    AVFormatContext* output = nullptr;
    int code = avformat_alloc_output_context2(&output, nullptr, setup.format, file_.temporaryPath().c_str());
    if (code < 0 || output == nullptr) return failed(reason, std::string("no ") + setup.format + " muxer", code);
    output_.reset(output);

    codec_.reset(avcodec_alloc_context3(setup.codec));
    packet_.reset(av_packet_alloc());
    if (!codec_ || !packet_) return failed(reason, "cannot set up the encoder", AVERROR(ENOMEM));
    setup.configure(*codec_);
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* codecOptions = nullptr;
    av_dict_copy(&codecOptions, setup.codecOptions, 0);
    code = avcodec_open2(codec_.get(), setup.codec, &codecOptions);
    av_dict_free(&codecOptions);
    if (code < 0) return failed(reason, std::string("cannot open the ") + setup.codec->name + " encoder", code);

    stream_ = avformat_new_stream(output_.get(), nullptr);
    if (stream_ == nullptr) return failed(reason, "cannot add the video stream", AVERROR(ENOMEM));
    stream_->time_base = codec_->time_base;
    stream_->avg_frame_rate = codec_->framerate;
    code = avcodec_parameters_from_context(stream_->codecpar, codec_.get());
    if (code < 0) return failed(reason, "cannot describe the video stream", code);

    code = avio_open(&output_->pb, file_.temporaryPath().c_str(), AVIO_FLAG_WRITE);
    if (code < 0) return failed(reason, "cannot write", code);
    AVDictionary* muxerOptions = nullptr;
    av_dict_copy(&muxerOptions, setup.muxerOptions, 0);
    code = avformat_write_header(output_.get(), &muxerOptions);
    av_dict_free(&muxerOptions);
    if (code < 0) return failed(reason, "cannot write", code);
    trailerDue_ = setup.trailerWhenDropped;
    return true;
}

bool EncodedFile::send(const AVFrame& frame, std::string* reason) { return encode(&frame, reason); }

bool EncodedFile::encode(const AVFrame* frame, std::string* reason) {
    int code = avcodec_send_frame(codec_.get(), frame);
    if (code < 0) return failed(reason, "cannot encode a frame", code);
    for (;;) {
        code = avcodec_receive_packet(codec_.get(), packet_.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) return failed(reason, "cannot encode a frame", code);
        av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        code = av_interleaved_write_frame(output_.get(), packet_.get());
        if (code < 0) return failed(reason, "cannot write", code);
    }
}

bool EncodedFile::finish(std::string* reason) {
    if (!encode(nullptr, reason)) return false;
    trailerDue_ = false;
    int code = av_write_trailer(output_.get());
    if (code < 0) return failed(reason, "cannot write", code);
    // A write the disk refused may show only here, as the buffered bytes go out.
    code = avio_closep(&output_->pb);
    if (code < 0) return failed(reason, "cannot write", code);
    return file_.commit(reason);
}

}  // namespace qx
