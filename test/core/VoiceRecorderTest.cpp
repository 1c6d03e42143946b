#include "core/AmrCodec.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/Files.h"
#include "support/AppTest.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<int16_t> tone(size_t count, double frequency = 440.0, double amplitude = 0.5) {
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i)
        s[i] = int16_t(std::lround(amplitude * 32767 * std::sin(2 * std::numbers::pi * frequency * double(i) / 8000)));
    return s;
}

// An 8 kHz mono 16-bit WAV file as common tools write it (44-byte header).
void writeWav(const fs::path& path, const std::vector<int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
}

struct WavRead {
    SF_INFO info{};
    std::vector<int16_t> samples;
};

WavRead readWav(const fs::path& path) {
    WavRead r;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &r.info);
    if (!f) return r;
    r.samples.resize(size_t(r.info.frames * r.info.channels));
    sf_read_short(f, r.samples.data(), sf_count_t(r.samples.size()));
    sf_close(f);
    return r;
}

uint32_t le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

double rms(const std::vector<int16_t>& s) {
    double sum = 0;
    for (auto v : s) sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

// Relative strength of one frequency (Goertzel), normalised by the signal's energy.
double strengthAt(const std::vector<int16_t>& s, double frequency) {
    double w = 2 * std::numbers::pi * frequency / 8000, c = 2 * std::cos(w), s1 = 0, s2 = 0;
    for (auto v : s) {
        double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    double energy = 0;
    for (auto v : s) energy += double(v) * v;
    return energy > 0 ? power / (energy * double(s.size()) / 2) : 0;
}

std::string bytesOf(const fs::path& p) { return platform::readFile(p).value_or(""); }

// Voiced sound with a moving pitch and syllable-like loudness, closer to speech than a
// steady tone.
std::vector<int16_t> speechLike(size_t count) {
    std::vector<int16_t> s(count);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = double(i) / 8000;
        double pitch = 120 + 40 * std::sin(2 * std::numbers::pi * 0.7 * t);
        phase += 2 * std::numbers::pi * pitch / 8000;
        double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 4 * t);
        double v = 0;
        for (int h = 1; h <= 8; ++h) v += std::sin(h * phase) / h;
        s[i] = int16_t(std::lround(6000 * envelope * v));
    }
    return s;
}

// Size of a file another thread is writing; 0 until it exists.
uintmax_t sizeOf(const fs::path& p) {
    std::error_code ec;
    auto size = fs::file_size(p, ec);
    return ec ? 0 : size;
}

// The 48-byte header of the voice WAV files, checked field by field.
void expectVoiceHeader(const std::string& b, uint32_t dataBytes) {
    ASSERT_GE(b.size(), 48u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(b, 4), 40 + dataBytes);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 20u);
    EXPECT_EQ(le16(b, 20), 1);
    EXPECT_EQ(le16(b, 22), 1);
    EXPECT_EQ(le32(b, 24), 8000u);
    EXPECT_EQ(le32(b, 28), 16000u);
    EXPECT_EQ(le16(b, 32), 2);
    EXPECT_EQ(le16(b, 34), 16);
    EXPECT_EQ(le32(b, 36), 0u);
    EXPECT_EQ(b.substr(40, 4), "data");
    EXPECT_EQ(le32(b, 44), dataBytes);
    EXPECT_EQ(b.size(), 48 + dataBytes);
}

class Delegate : public MVTAudioRecordAndTransCodingDelegate {
public:
    void wavToAmrComplete() override { ++completions; }
    int completions = 0;
};

class VoiceTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::AudioSession::shared().reset();
        platform::AudioRecorder::setInput([] { return platform::makeToneSource(440.0, 0.5); });
        dir_ = home_ / "voice";
        fs::create_directories(dir_);
    }
    void TearDown() override {
        platform::AudioRecorder::setInput(nullptr);
        AppTest::TearDown();
    }
    fs::path dir_;
};

// ---- Conversions ---------------------------------------------------------------------------

TEST_F(VoiceTest, ToneSurvivesTheRoundTripThroughAmr) {
    auto wav = dir_ / "tone.wav", amr = dir_ / "tone.amr", back = dir_ / "back.wav";
    writeWav(wav, tone(8000));

    EXPECT_EQ(voicecodec::wavToAmr(wav, amr), 50);
    std::string amrBytes = bytesOf(amr);
    EXPECT_EQ(amrBytes.size(), 6u + 50 * 32);
    EXPECT_EQ(amrBytes.substr(0, 6), "#!AMR\n");
    EXPECT_EQ(uint8_t(amrBytes[6]), 0x3C) << "12.2 kbit/s frame header";

    EXPECT_EQ(MVTVoiceJoiner::amrToWav(amr, back), 50);
    expectVoiceHeader(bytesOf(back), 16000);

    auto decoded = readWav(back);
    EXPECT_EQ(decoded.info.samplerate, 8000);
    EXPECT_EQ(decoded.info.channels, 1);
    EXPECT_EQ(decoded.info.frames, 8000);
    EXPECT_EQ(decoded.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    // Loud, and still a 440 Hz tone (skip the codec's first frames while it settles).
    std::vector<int16_t> steady(decoded.samples.begin() + 800, decoded.samples.end());
    EXPECT_GT(rms(steady), 5000.0);
    EXPECT_GT(strengthAt(steady, 440), 0.5);
    EXPECT_LT(strengthAt(steady, 1000), 0.05);

    // The player opens the decoded file: one second.
    auto player = platform::AudioPlayer::open(back.string());
    ASSERT_TRUE(player);
    EXPECT_DOUBLE_EQ(player->duration(), 1.0);
}

TEST_F(VoiceTest, OnlyWholeFramesAreEncoded) {
    struct Case {
        size_t samples;
        size_t amrBytes;
    } cases[] = {{0, 6}, {159, 6}, {160, 38}, {8000, 1606}, {8100, 1606}, {8160, 1638}};
    for (auto c : cases) {
        auto wav = dir_ / "part.wav", amr = dir_ / "part.amr";
        writeWav(wav, tone(c.samples));
        voicecodec::wavToAmr(wav, amr);
        EXPECT_EQ(fs::file_size(amr), c.amrBytes) << c.samples << " samples";
    }
}

TEST_F(VoiceTest, KnownDurationsGiveKnownSizesAndComeBackWithinAFrame) {
    // 6 header bytes and one 32-byte frame per 20 ms; samples short of a frame are dropped.
    struct Case {
        double seconds;
        int frames;
        uintmax_t amrBytes;
    } cases[] = {{0.02, 1, 38}, {0.25, 12, 390}, {1.0, 50, 1606}, {3.01, 150, 4806}, {60.0, 3000, 96006}};
    for (auto c : cases) {
        SCOPED_TRACE(c.seconds);
        auto wav = dir_ / "speech.wav", amr = dir_ / "speech.amr", back = dir_ / "back.wav";
        auto samples = size_t(std::lround(c.seconds * 8000));
        writeWav(wav, speechLike(samples));
        EXPECT_EQ(voicecodec::wavToAmr(wav, amr), c.frames);
        EXPECT_EQ(fs::file_size(amr), c.amrBytes);
        EXPECT_EQ(MVTVoiceJoiner::amrToWav(amr, back), c.frames);
        auto decoded = readWav(back);
        EXPECT_EQ(decoded.info.frames, sf_count_t(c.frames) * 160);
        EXPECT_LT(std::abs(double(decoded.info.frames) - double(samples)), 160.0);
        EXPECT_GT(rms(decoded.samples), 0.25 * rms(speechLike(samples)));
    }
}

TEST_F(VoiceTest, EncoderFindsTheSamplesBehindExtraChunksAndLongFormatBlocks) {
    // A WAV file with an 18-byte format block and a LIST chunk before its samples.
    auto samples = tone(1600);
    std::string b = "RIFF" + std::string(4, '\0') + "WAVE";
    b += "fmt " + std::string("\x12\0\0\0", 4) + std::string("\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0\0\0", 18);
    b += "LIST" + std::string("\x05\0\0\0", 4) + "abcde" + std::string(1, '\0');
    b += "data" + std::string("\x80\x0c\0\0", 4);
    b.append(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    auto wav = dir_ / "odd.wav", amr = dir_ / "odd.amr", ref = dir_ / "ref.wav", refAmr = dir_ / "ref.amr";
    ASSERT_TRUE(platform::writeFileAtomically(wav, b));
    writeWav(ref, samples);

    EXPECT_EQ(voicecodec::wavToAmr(wav, amr), 10);
    voicecodec::wavToAmr(ref, refAmr);
    EXPECT_EQ(bytesOf(amr), bytesOf(refAmr));
}

TEST_F(VoiceTest, EncoderOfAFileThatIsNoWavWritesNoFrames) {
    auto bad = dir_ / "bad.wav", amr = dir_ / "bad.amr";
    ASSERT_TRUE(platform::writeFileAtomically(
        bad, std::string("RIFF\x10\0\0\0WAVEjunk\xff\xff\xff\x7f", 20) + std::string(400, 'x')));
    EXPECT_EQ(voicecodec::wavToAmr(bad, amr), 0);
    EXPECT_EQ(bytesOf(amr), "#!AMR\n");
    EXPECT_EQ(voicecodec::wavToAmr(dir_ / "missing.wav", amr), 0);
}

TEST_F(VoiceTest, BadAmrFilesConvertToNothing) {
    std::string frame(32, '\x11');
    frame[0] = '\x3C';
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not amr", "RIFF" + std::string(200, 'x')},
        {"magic only", "#!AMR\n"},
        {"magic cut short", "#!AM"},
        {"truncated first frame", "#!AMR\n" + frame.substr(0, 12)},
        {"reserved frame type", "#!AMR\n" + std::string(1, '\x48') + std::string(100, 'x')},
        {"not a frame header", "#!AMR\n" + std::string(1, '\xFF') + std::string(100, 'x')},
    };
    for (auto& c : cases) {
        auto amr = dir_ / "bad.amr", wav = dir_ / "bad.wav";
        ASSERT_TRUE(platform::writeFileAtomically(amr, c.bytes));
        EXPECT_EQ(MVTVoiceJoiner::amrToWav(amr, wav), 0) << c.name;
        EXPECT_FALSE(fs::exists(wav)) << c.name;
    }
    EXPECT_EQ(MVTVoiceJoiner::amrToWav(dir_ / "missing.amr", dir_ / "out.wav"), 0);
    EXPECT_FALSE(fs::exists(dir_ / "out.wav"));
}

TEST_F(VoiceTest, TruncatedAmrKeepsItsWholeFramesAndGarbageStaysBounded) {
    auto wav = dir_ / "tone.wav", amr = dir_ / "tone.amr", back = dir_ / "back.wav";
    writeWav(wav, tone(8000));
    voicecodec::wavToAmr(wav, amr);
    std::string bytes = bytesOf(amr);
    ASSERT_TRUE(platform::writeFileAtomically(amr, bytes.substr(0, bytes.size() - 5)));
    EXPECT_EQ(MVTVoiceJoiner::amrToWav(amr, back), 49);
    expectVoiceHeader(bytesOf(back), 49 * 320);

    // Random bytes after a valid first frame: decoded or skipped, never more frames than
    // the file could hold.
    std::string garbage = bytes.substr(0, 6 + 32);
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245 + 12345;
        garbage += char(x >> 16);
    }
    ASSERT_TRUE(platform::writeFileAtomically(amr, garbage));
    int frames = MVTVoiceJoiner::amrToWav(amr, back);
    EXPECT_GE(frames, 1);
    EXPECT_LE(frames, int(garbage.size() - 6) / 32);
    EXPECT_EQ(fs::file_size(back), 48u + 320u * unsigned(frames));
}

// ---- Joining ---------------------------------------------------------------------------

TEST_F(VoiceTest, JoiningWavTakesPutsTheEarlierTakeFirst) {
    auto earlier = tone(8000, 440), later = tone(4000, 880);
    auto b = dir_ / "b.wav", a = dir_ / "a.wav", out = dir_ / "joined.wav";
    writeWav(b, earlier);
    writeWav(a, later);

    ASSERT_TRUE(MVTVoiceJoiner::mixMusic(a.string(), b.string(), out.string()));
    std::string joined = bytesOf(out);
    expectVoiceHeader(joined, 24000);
    std::string expected(reinterpret_cast<const char*>(earlier.data()), 16000);
    expected.append(reinterpret_cast<const char*>(later.data()), 8000);
    EXPECT_EQ(joined.substr(48), expected);

    // Joining onto the earlier take itself, as a composer may: nothing is lost.
    ASSERT_TRUE(MVTVoiceJoiner::mixMusic(a.string(), b.string(), b.string()));
    EXPECT_EQ(bytesOf(b), joined);
    // The joined file is a WAV file the rest of the app reads: 1.5 seconds.
    auto player = platform::AudioPlayer::open(out.string());
    ASSERT_TRUE(player);
    EXPECT_DOUBLE_EQ(player->duration(), 1.5);
}

TEST_F(VoiceTest, JoiningWithAMissingTakeWritesNothing) {
    auto b = dir_ / "b.wav", out = dir_ / "joined.wav";
    writeWav(b, tone(800));
    EXPECT_FALSE(MVTVoiceJoiner::mixMusic((dir_ / "missing.wav").string(), b.string(), out.string()));
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(VoiceTest, AppendingAmrFramesAddsExactlyTheSourceFrames) {
    auto wav = dir_ / "t.wav", t = dir_ / "t.amr", s = dir_ / "s.amr", swav = dir_ / "s.wav";
    writeWav(wav, tone(8000));
    voicecodec::wavToAmr(wav, t);
    writeWav(swav, tone(1600, 660));
    voicecodec::wavToAmr(swav, s);
    ASSERT_EQ(fs::file_size(s), 6u + 10 * 32);
    std::string before = bytesOf(t), source = bytesOf(s);

    EXPECT_EQ(MVTVoiceJoiner::mixAmr(t.string(), s.string()), 320);
    EXPECT_EQ(bytesOf(t), before + source.substr(6));
    EXPECT_EQ(MVTVoiceJoiner::amrToWav(t, dir_ / "joined.wav"), 60);

    // A source that is not AMR leaves the target as it was.
    auto notAmr = dir_ / "x.amr";
    ASSERT_TRUE(platform::writeFileAtomically(notAmr, "#!AMX\n" + std::string(64, 'a')));
    std::string now = bytesOf(t);
    EXPECT_EQ(MVTVoiceJoiner::mixAmr(t.string(), notAmr.string()), 0);
    EXPECT_EQ(bytesOf(t), now);

    // Appending a file to itself copies what it held once, and stops.
    EXPECT_EQ(MVTVoiceJoiner::mixAmr(s.string(), s.string()), 320);
    EXPECT_EQ(fs::file_size(s), 6u + 20 * 32);
}

TEST_F(VoiceTest, JoinedTakesAreTheirFramesInOrderUnderOneHeader) {
    struct Take {
        size_t samples;
        double frequency;
    } takes[] = {{1600, 440}, {4000, 660}, {2400, 300}};
    std::vector<std::string> frames;
    for (size_t i = 0; i < std::size(takes); ++i) {
        auto wav = dir_ / ("take" + std::to_string(i) + ".wav"), amr = dir_ / ("take" + std::to_string(i) + ".amr");
        writeWav(wav, tone(takes[i].samples, takes[i].frequency));
        voicecodec::wavToAmr(wav, amr);
        frames.push_back(bytesOf(amr).substr(6));
    }
    // The composer joins each new take onto the first one.
    auto joined = dir_ / "take0.amr";
    EXPECT_EQ(MVTVoiceJoiner::mixAmr(joined.string(), (dir_ / "take1.amr").string()), 25 * 32);
    EXPECT_EQ(MVTVoiceJoiner::mixAmr(joined.string(), (dir_ / "take2.amr").string()), 15 * 32);

    std::string bytes = bytesOf(joined);
    EXPECT_EQ(bytes, "#!AMR\n" + frames[0] + frames[1] + frames[2]);
    EXPECT_EQ(bytes.find("#!AMR\n", 1), std::string::npos) << "the header is written once";
    for (size_t at = 6; at < bytes.size(); at += 32) EXPECT_EQ(uint8_t(bytes[at]), 0x3C) << at;
    EXPECT_EQ(MVTVoiceJoiner::amrToWav(joined, dir_ / "joined.wav"), 10 + 25 + 15);
    EXPECT_EQ(readWav(dir_ / "joined.wav").info.frames, 50 * 160);
}

TEST_F(VoiceTest, AStreamingConversionSleepsUntilTheRecorderAppends) {
    auto wav = dir_ / "live.wav", amr = dir_ / "live.amr";
    writeWav(wav, {});
    voicecodec::RecordingState state;
    int frames = -1;
    std::thread conversion([&] { frames = voicecodec::wavToAmr(wav, amr, &state); });
    // Whatever happens below, the conversion is told to end and is waited for.
    struct Ender {
        voicecodec::RecordingState& state;
        std::thread& thread;
        ~Ender() {
            state.finish();
            if (thread.joinable()) thread.join();
        }
    } ender{state, conversion};
    auto append = [&](const std::vector<int16_t>& samples) {
        std::FILE* f = std::fopen(wav.c_str(), "ab");
        ASSERT_TRUE(f);
        std::fwrite(samples.data(), 2, samples.size(), f);
        std::fclose(f);
    };
    // The header alone is there; the conversion waits for samples.
    ASSERT_TRUE(pumpUntil([&] { return sizeOf(amr) == 6u; }));
    append(tone(5 * 160));
    state.samplesAppended();
    ASSERT_TRUE(pumpUntil([&] { return sizeOf(amr) == 6u + 5 * 32; }));
    append(tone(3 * 160 + 100));
    state.samplesAppended();
    ASSERT_TRUE(pumpUntil([&] { return sizeOf(amr) == 6u + 8 * 32; }));
    // Over: the 100 samples short of a frame end the file.
    state.finish();
    conversion.join();
    EXPECT_EQ(frames, 8);
    EXPECT_EQ(fs::file_size(amr), 6u + 8 * 32);
}

// ---- Recording -------------------------------------------------------------------------

TEST_F(VoiceTest, RecordingWritesTheWavAndStreamsItIntoAmr) {
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    auto delegate = std::make_shared<Delegate>();
    recorder->setDelegate(delegate);

    recorder->beginRecordByFileName("20260105080000");
    EXPECT_FALSE(recorder->isWavToAmrCompleted());
    EXPECT_EQ(recorder->recordFileName(), "20260105080000");
    EXPECT_EQ(recorder->recordFilePath(), MVTPublicMethod::getPathByFileName("20260105080000", "wav"));
    EXPECT_EQ(platform::AudioSession::shared().category(), platform::AudioSessionCategory::PlayAndRecord);
    EXPECT_TRUE(platform::AudioSession::shared().isActive());
    ASSERT_TRUE(recorder->recorder());
    EXPECT_TRUE(recorder->recorder()->isRecording());

    std::string amr = MVTAudioRecordAndTransCoding::amrPathForName("20260105080000");
    EXPECT_EQ(fs::path(amr).filename(), "20260105080000wavToAmr.amr");

    // Half a second in, the frames so far are already encoded while recording goes on.
    advance(0.5);
    EXPECT_DOUBLE_EQ(recorder->recorder()->currentTime(), 0.5);
    ASSERT_TRUE(pumpUntil([&] { return sizeOf(amr) == 6u + 25 * 32; }));
    EXPECT_FALSE(recorder->isWavToAmrCompleted());
    EXPECT_EQ(delegate->completions, 0);

    advance(0.5);
    recorder->endRecord();
    EXPECT_FALSE(recorder->recorder());
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(delegate->completions, 1);
    EXPECT_EQ(fs::file_size(amr), 1606u);

    auto recorded = readWav(recorder->recordFilePath());
    EXPECT_EQ(recorded.info.samplerate, 8000);
    EXPECT_EQ(recorded.info.channels, 1);
    EXPECT_EQ(recorded.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_EQ(recorded.info.frames, 8000);
    EXPECT_EQ(MVTPublicMethod::getVedioLength("20260105080000"), 1);

    // What was streamed equals a conversion of the finished file.
    auto again = dir_ / "again.amr";
    voicecodec::wavToAmr(recorder->recordFilePath(), again);
    EXPECT_EQ(bytesOf(again), bytesOf(amr));
}

TEST_F(VoiceTest, TheFirstFinishedRecordingLeavesTheMarkForThePermissionCheck) {
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    EXPECT_FALSE(MVTtirraDataBase::selectSaveRecordPermission());
    recorder->beginRecordByFileName("take");
    advance(0.2);
    recorder->endRecord();
    EXPECT_TRUE(MVTtirraDataBase::selectSaveRecordPermission());
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
}

TEST_F(VoiceTest, EndingTwiceThenRecordingAgainWorksNormally) {
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    auto delegate = std::make_shared<Delegate>();
    recorder->setDelegate(delegate);
    recorder->beginRecordByFileName("one");
    advance(0.4);
    recorder->endRecord();
    recorder->endRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(fs::file_size(MVTAudioRecordAndTransCoding::amrPathForName("one")), 6u + 20 * 32);

    recorder->beginRecordByFileName("two");
    EXPECT_FALSE(recorder->isWavToAmrCompleted());
    advance(1.0);
    // Still recording: the second take's conversion waits for more.
    ASSERT_TRUE(pumpUntil([&] {
        return sizeOf(MVTAudioRecordAndTransCoding::amrPathForName("two")) == 1606u;
    }));
    EXPECT_FALSE(recorder->isWavToAmrCompleted());
    recorder->endRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(delegate->completions, 2);
}

TEST_F(VoiceTest, ConversionEndsWhenTheRecorderStoppedBeforeEndRecord) {
    // The system stops a recorder (an interruption); the screen's endRecord must still
    // let the conversion finish instead of waiting for samples forever.
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    recorder->beginRecordByFileName("cut");
    advance(0.3);
    recorder->recorder()->stop();
    recorder->endRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(fs::file_size(MVTAudioRecordAndTransCoding::amrPathForName("cut")), 6u + 15 * 32);
}

TEST_F(VoiceTest, ConversionEndsWhenTheSystemStopsTheRecorderEvenWithoutEndRecord) {
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    auto delegate = std::make_shared<Delegate>();
    recorder->setDelegate(delegate);
    recorder->beginRecordByFileName("interrupted");
    advance(0.3);
    recorder->recorder()->stop();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(delegate->completions, 1);
    EXPECT_EQ(fs::file_size(MVTAudioRecordAndTransCoding::amrPathForName("interrupted")), 6u + 15 * 32);
    recorder->endRecord();
}

TEST_F(VoiceTest, AConversionThatCannotOpenItsFilesStillReportsCompletion) {
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    auto delegate = std::make_shared<Delegate>();
    recorder->setDelegate(delegate);
    // A folder where the WAV file should go: neither the recorder nor the conversion can
    // open it.
    fs::create_directories(MVTPublicMethod::getPathByFileName("blocked", "wav"));
    recorder->beginRecordByFileName("blocked");
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    EXPECT_EQ(delegate->completions, 1);
    recorder->endRecord();
}

TEST_F(VoiceTest, MeteringRisesForAToneAndStaysDownForSilence) {
    struct Case {
        const char* input;
        std::function<std::unique_ptr<platform::AudioSampleSource>()> source;
    } cases[] = {
        {"tone", [] { return platform::makeToneSource(440.0, 0.5); }},
        {"silence", [] { return platform::makeSilenceSource(); }},
    };
    std::map<std::string, std::pair<float, float>> levels;
    for (auto& c : cases) {
        platform::AudioRecorder::setInput(c.source);
        auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
        recorder->beginRecordByFileName(c.input);
        ASSERT_TRUE(recorder->recorder()->isMeteringEnabled());
        advance(0.1);
        recorder->recorder()->updateMeters();
        levels[c.input] = {recorder->recorder()->averagePowerForChannel(0), recorder->recorder()->peakPowerForChannel(0)};
        recorder->endRecord();
        ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    }
    // A sine at half scale: -9 dB average (RMS), -6 dB peak.
    EXPECT_NEAR(levels["tone"].first, -9.03f, 0.2f);
    EXPECT_NEAR(levels["tone"].second, -6.02f, 0.2f);
    EXPECT_FLOAT_EQ(levels["silence"].first, -160.0f);
    EXPECT_FLOAT_EQ(levels["silence"].second, -160.0f);
}

TEST_F(VoiceTest, RecorderTakesItsInputFromASoundFile) {
    auto source = dir_ / "speech.wav";
    auto samples = tone(4000, 300, 0.3);
    writeWav(source, samples);
    platform::AudioRecorder::setInput([source] { return platform::makeFileSource(source.string()); });
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    recorder->beginRecordByFileName("fromfile");
    advance(0.75);  // the file's half second, then silence
    recorder->endRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    auto recorded = readWav(recorder->recordFilePath());
    ASSERT_EQ(recorded.samples.size(), 6000u);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), recorded.samples.begin()));
    EXPECT_EQ(rms(std::vector<int16_t>(recorded.samples.begin() + 4000, recorded.samples.end())), 0.0);
}

TEST_F(VoiceTest, PausedRecordingLeavesNoGap) {
    auto path = dir_ / "paused.wav";
    auto recorder = platform::AudioRecorder::make(path.string(), {});
    ASSERT_TRUE(recorder);
    ASSERT_TRUE(recorder->record());
    advance(0.25);
    recorder->pause();
    advance(5);
    EXPECT_FALSE(recorder->isRecording());
    recorder->record();
    advance(0.25);
    bool finished = false, ok = false;
    recorder->setOnFinish([&](bool success) {
        finished = true;
        ok = success;
    });
    recorder->stop();
    ASSERT_TRUE(pumpUntil([&] { return finished; }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(readWav(path).info.frames, 4000);
}

}  // namespace
