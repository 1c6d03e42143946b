#pragma once

// The file formats of voice messages: 8 kHz mono 16-bit WAV files and AMR-NB files (the
// single-channel storage format: "#!AMR\n", then the frames, each with its header byte),
// and the streaming WAV-to-AMR encoder the recorder runs while it records.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

namespace voicecodec {

inline constexpr char kAmrMagic[] = "#!AMR\n";
inline constexpr int kAmrMagicLength = 6;
inline constexpr int kSamplesPerFrame = 160;                 // 20 ms at 8 kHz
inline constexpr int kFrameBytes = kSamplesPerFrame * 2;     // of 16-bit samples
inline constexpr int kWavHeaderLength = 48;

// Bytes of an AMR-NB frame after its header byte, by frame type (bits 3 to 6 of the
// header): the type's bit rate / 400, rounded; SID 5; reserved and no-data types 0.
int amrPayloadBytes(unsigned char frameHeader);

// The 48-byte header the joiner and the decoder write: PCM, 1 channel, 8000 samples per
// second, 16 bits, a 20-byte format block and `dataBytes` of samples.
void writeVoiceWavHeader(std::FILE* file, uint32_t dataBytes);

// Walks a WAV file's chunks from the start and leaves `file` at the first sample of its
// "data" chunk. Answers that offset, or nothing when the file is not RIFF/WAVE or has no
// data chunk inside the file.
std::optional<long long> seekWavData(std::FILE* file);

// Tells a running conversion whether its recording still grows the WAV file, and wakes it
// when the recorder has appended samples: the conversion sleeps until then instead of
// looking at the file again and again.
struct RecordingState {
    std::atomic<bool> recording{true};
    std::mutex mutex;
    std::condition_variable changed;
    // Counts the recorder's appends (under `mutex`), so a wake-up between the
    // conversion's read and its wait is never lost.
    unsigned long long appended = 0;
    // Clears the flag and wakes the conversion so it finishes at once.
    void finish();
    // Wakes the conversion: more samples are in the file.
    void samplesAppended();
};

// Encodes the samples of WAV file `wav` into the AMR file `amr` (12.2 kbit/s frames, no
// discontinuous transmission). With `live` given and recording, a frame that is not yet
// complete is read again once the recorder has appended more samples (the conversion
// blocks until samplesAppended or finish); once recording is over, the first incomplete frame ends the file and its samples are dropped. Answers the
// number of frames written (0 when either file cannot be opened).
int wavToAmr(const std::string& wav, const std::string& amr, RecordingState* live = nullptr);

}  // namespace voicecodec
