#include "core/MVTAudioRecordAndTransCoding.h"

#include "core/AmrCodec.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/BackgroundQueue.h"
#include "platform/RunLoop.h"

namespace {

platform::AudioRecorderSettings recorderSettings() {
    auto dict = MVTPublicMethod::getAudioRecorderSettingDict();
    platform::AudioRecorderSettings settings;
    settings.sampleRate = dict.value("sampleRate", 8000.0);
    settings.numberOfChannels = dict.value("channels", 1);
    settings.bitDepth = dict.value("bitsPerSample", 16);
    return settings;
}

}  // namespace

MVTAudioRecordAndTransCoding::MVTAudioRecordAndTransCoding() = default;

MVTAudioRecordAndTransCoding::~MVTAudioRecordAndTransCoding() {
    // A conversion must never wait for samples from a recorder that is gone.
    if (recorder_ && recorder_->isRecording()) recorder_->stop();
    if (take_) take_->finish();
}

std::string MVTAudioRecordAndTransCoding::amrPathForName(const std::string& name) {
    return MVTPublicMethod::getPathByFileName(name + "wavToAmr", "amr");
}

void MVTAudioRecordAndTransCoding::beginRecordByFileName(const std::string& name) {
    // A take still running (no endRecord came) ends here, so its conversion finishes.
    if (recorder_ && recorder_->isRecording()) recorder_->stop();
    recorder_.reset();
    if (take_) take_->finish();

    isWavToAmrCompleted_ = false;
    recordFileName_ = name;
    recordFilePath_ = MVTPublicMethod::getPathByFileName(name, "wav");

    recorder_ = platform::AudioRecorder::make(recordFilePath_, recorderSettings());
    bool started = false;
    if (recorder_) {
        recorder_->setMeteringEnabled(true);
        recorder_->prepareToRecord();
    }
    auto& session = platform::AudioSession::shared();
    session.setCategory(platform::AudioSessionCategory::PlayAndRecord);
    session.setActive(true);
    auto take = std::make_shared<voicecodec::RecordingState>();
    take_ = take;
    if (recorder_) {
        // The conversion sleeps until the recorder appends samples or completes the file
        // (also when the system stops the recorder on its own).
        recorder_->setOnSamplesWritten([take](bool fileComplete) {
            if (fileComplete) take->finish();
            else take->samplesAppended();
        });
        started = recorder_->record();
    }
    // Nothing will be appended to a file the recorder could not start: the conversion
    // takes what is there and ends.
    if (!started) take->finish();

    unsigned long generation = ++generation_;
    std::weak_ptr<MVTAudioRecordAndTransCoding> weak = weak_from_this();
    std::string wav = recordFilePath_;
    std::string amr = amrPathForName(name);
    platform::dispatchBackground([weak, take, wav, amr, generation] {
        voicecodec::wavToAmr(wav, amr, take.get());
        platform::dispatchMain([weak, generation] {
            auto self = weak.lock();
            // The report of an earlier take must not mark a newer one as complete.
            if (!self || generation != self->generation_) return;
            self->isWavToAmrCompleted_ = true;
            if (auto delegate = self->delegate()) delegate->wavToAmrComplete();
        });
    });
}

void MVTAudioRecordAndTransCoding::endRecord() {
    if (!MVTtirraDataBase::selectSaveRecordPermission()) MVTtirraDataBase::insertSaveRecordPermission("1");
    if (!recorder_) return;
    if (recorder_->isRecording()) recorder_->stop();
    recorder_.reset();
    // Also when the recorder had already stopped by itself (an interruption): the
    // conversion learns here that no more samples will come.
    if (take_) take_->finish();
}

void MVTAudioRecordAndTransCoding::mixAudio(const std::string& a, const std::string& b, const std::string& output) {
    MVTVoiceJoiner::mixMusic(a, b, output);
}

void MVTAudioRecordAndTransCoding::mixAmr(const std::string& t, const std::string& s) {
    MVTVoiceJoiner::mixAmr(t, s);
}

int MVTAudioRecordAndTransCoding::wavToAmrBtnPressed() {
    return voicecodec::wavToAmr(recordFilePath_, amrPathForName(recordFileName_), take_.get());
}
