#pragma once

#include <memory>
#include <string>

namespace platform {
class AudioRecorder;
}
namespace voicecodec {
struct RecordingState;
}

class MVTAudioRecordAndTransCodingDelegate {
public:
    virtual ~MVTAudioRecordAndTransCodingDelegate() = default;
    // On the main thread, once the AMR file of the current recording is complete.
    virtual void wavToAmrComplete() {}
};

// Records a voice as "<name>.wav" in the download cache and, while it records, encodes it
// into "<name>wavToAmr.amr" beside it on a background thread, so the AMR file the service
// receives is ready a moment after the user stops speaking. One object serves many takes
// in turn; each take has its own conversion.
class MVTAudioRecordAndTransCoding : public std::enable_shared_from_this<MVTAudioRecordAndTransCoding> {
public:
    MVTAudioRecordAndTransCoding();
    ~MVTAudioRecordAndTransCoding();

    // Starts recording name's WAV file and its conversion.
    void beginRecordByFileName(const std::string& name);
    // Stops the recording; the conversion then finishes on its own.
    void endRecord();

    // The running recorder (for level metering); nothing after endRecord.
    std::shared_ptr<platform::AudioRecorder> recorder() const { return recorder_; }
    void setRecorder(std::shared_ptr<platform::AudioRecorder> recorder) { recorder_ = std::move(recorder); }
    bool isWavToAmrCompleted() const { return isWavToAmrCompleted_; }
    void setIsWavToAmrCompleted(bool completed) { isWavToAmrCompleted_ = completed; }
    const std::string& recordFileName() const { return recordFileName_; }
    void setRecordFileName(const std::string& name) { recordFileName_ = name; }
    const std::string& recordFilePath() const { return recordFilePath_; }
    void setRecordFilePath(const std::string& path) { recordFilePath_ = path; }
    // Not owned.
    std::shared_ptr<MVTAudioRecordAndTransCodingDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTAudioRecordAndTransCodingDelegate> delegate) { delegate_ = std::move(delegate); }

    // The joiners of MVTVoiceJoiner with the same arguments.
    void mixAudio(const std::string& a, const std::string& b, const std::string& output);
    void mixAmr(const std::string& t, const std::string& s);

    // The conversion of the current take's WAV file into its AMR file; answers the number
    // of frames written. beginRecordByFileName runs it on a background queue.
    int wavToAmrBtnPressed();

    // Path of the AMR file for a recording's base name.
    static std::string amrPathForName(const std::string& name);

private:
    std::shared_ptr<platform::AudioRecorder> recorder_;
    std::string recordFileName_;
    std::string recordFilePath_;
    bool isWavToAmrCompleted_ = true;
    std::weak_ptr<MVTAudioRecordAndTransCodingDelegate> delegate_;
    // The running take: tells its conversion whether samples are still coming.
    std::shared_ptr<voicecodec::RecordingState> take_;
    unsigned long generation_ = 0;
};
