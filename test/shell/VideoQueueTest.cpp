// The video lesson upload queue against the sample service: size limit, progress and
// outcome texts, and a real QuickTime movie converted to an MP4 that decodes.

#include "DelegateFixture.h"
#include "support/MovieWriter.h"

#include "shell/InternationalControl.h"

#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/VideoExport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using testing_support::DelegateTest;
using testing_support::writeMovie;
namespace fs = std::filesystem;

constexpr const char* kUploadPath = "/services/norvo/course/77/uploadSmallClass";

// Opens the file with libavformat and decodes its first picture; its size when it does.
std::pair<int, int> firstPictureSize(const fs::path& path) {
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return {0, 0};
    std::pair<int, int> size{0, 0};
    const AVCodec* decoder = nullptr;
    int index = avformat_find_stream_info(in, nullptr) >= 0
                    ? av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)
                    : -1;
    if (index >= 0) {
        AVCodecContext* dec = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(dec, in->streams[index]->codecpar);
        avcodec_open2(dec, decoder, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        while (size.first == 0 && av_read_frame(in, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(dec, packet) >= 0 &&
                avcodec_receive_frame(dec, frame) >= 0)
                size = {frame->width, frame->height};
            av_packet_unref(packet);
        }
        if (size.first == 0 && avcodec_send_packet(dec, nullptr) >= 0 && avcodec_receive_frame(dec, frame) >= 0)
            size = {frame->width, frame->height};
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&dec);
    }
    avformat_close_input(&in);
    return size;
}

class VideoQueueTest : public DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        MVTAccount::sharedInstance().setUserId(std::string("77"));
        token_ = platform::NotificationCenter::defaultCenter().addObserver(
            MVTAppDelegate::kToGetSubmitMicroState,
            [this](const platform::Notification& note) { states.push_back(note.object.get<std::string>()); });
        app->setUpMicroArr(nlohmann::json::array());
        app->setMP4Path("");
        app->setSelectedCourseId("c9");
        app->setMicroDetailsStr("");
    }
    void TearDown() override {
        token_ = {};
        DelegateTest::TearDown();
    }
    fs::path pickedFile(const std::string& name, const std::string& bytes) {
        fs::path path = platform::Paths::home() / "library" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    bool waitForOutcome() {
        return pumpUntil([this] { return !states.empty() && states.back().find('.') == std::string::npos; }, 60);
    }
    std::vector<std::string> states;
    platform::ObserverToken token_;
};

TEST_F(VideoQueueTest, Mp4IsUploadedAsItsCopyWithProgressThenDeleted) {
    service().setReply("POST", kUploadPath, sample_service::Reply::json({{"success", 1}}));
    fs::path picked = pickedFile("lesson.one.mp4", std::string(300000, 'v'));
    app->GetUpMicroAssetWith(picked.string());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(states.back(), localized("上传成功"));
    ASSERT_GE(states.size(), 2u);
    double last = -1;
    for (size_t i = 0; i + 1 < states.size(); ++i) {
        ASSERT_EQ(states[i].size(), 8u) << states[i];
        double fraction = std::stod(states[i]);
        EXPECT_GE(fraction, last);
        last = fraction;
    }
    EXPECT_EQ(states[states.size() - 2], "1.000000");
    auto request = service().lastRequest(kUploadPath);
    ASSERT_TRUE(request);
    ASSERT_EQ(request->parts.size(), 4u);
    EXPECT_EQ(request->parts[0].name, "vedio");
    EXPECT_EQ(request->parts[0].fileName, "lesson.mp4");
    EXPECT_EQ(request->parts[0].bytes, std::string(300000, 'v'));
    EXPECT_EQ(request->parts[1].bytes, "c9");
    EXPECT_EQ(request->parts[2].bytes, "1");
    EXPECT_EQ(request->parts[3].name, "description");
    EXPECT_EQ(request->parts[3].bytes, "");
    EXPECT_TRUE(request->hasServiceCredentials());
    EXPECT_FALSE(fs::exists(app->MP4Path()));
    EXPECT_TRUE(fs::exists(picked));
    EXPECT_TRUE(app->upMicroArr().empty());
}

TEST_F(VideoQueueTest, RefusedReplyKeepsFileForRetry) {
    service().setReply("POST", kUploadPath, sample_service::Reply::json({{"success", 0}}));
    app->setMicroDetailsStr("第一课");
    app->GetUpMicroAssetWith(pickedFile("a.mp4", "data").string());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(states.back(), localized("上传失败"));
    ASSERT_TRUE(fs::exists(app->MP4Path()));
    EXPECT_EQ(app->upMicroArr().size(), 1u);
    service().setReply("POST", kUploadPath, sample_service::Reply::json({{"success", "1"}}));
    states.clear();
    app->startUpMicroWith(app->MP4Path());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(states.back(), localized("上传成功"));
    EXPECT_EQ(service().lastRequest(kUploadPath)->parts[3].bytes, "第一课");
}

TEST_F(VideoQueueTest, SizeLimitIsExactly500MiB) {
    service().setReply("POST", kUploadPath, sample_service::Reply::json({{"success", 1}}));
    struct Case {
        long long size;
        bool refused;
    };
    for (Case c : {Case{MVTAppDelegate::kMaxMicroBytes, true}, Case{MVTAppDelegate::kMaxMicroBytes + 1, true}}) {
        SCOPED_TRACE(c.size);
        states.clear();
        fs::path file = platform::Paths::documentsDirectory() / "big.mp4";
        std::ofstream(file).close();
        fs::resize_file(file, static_cast<std::uintmax_t>(c.size));
        app->ToUpMicroWith({"", file.string()});
        ASSERT_EQ(states.size(), 1u);
        EXPECT_EQ(states[0], localized("视频过大，不支持"));
        EXPECT_TRUE(fs::exists(file));
        fs::remove(file);
    }
    // One byte less is not refused: it goes on to the upload, which (with the network down
    // here, so that 500 MB are not sent) ends as a failed upload to retry.
    platform::Reachability::setOverride(platform::ReachabilityState::offline());
    fs::path file = platform::Paths::documentsDirectory() / "edge.mp4";
    std::ofstream(file).close();
    fs::resize_file(file, static_cast<std::uintmax_t>(MVTAppDelegate::kMaxMicroBytes - 1));
    states.clear();
    app->ToUpMicroWith({"", file.string()});
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(states, std::vector<std::string>{localized("上传失败")});
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(VideoQueueTest, CopyThatCannotStartEndsAsConversionFailure) {
    for (std::string name : {"gone.mov", "notes.txt"}) {
        SCOPED_TRACE(name);
        states.clear();
        fs::path path = name == "gone.mov" ? platform::Paths::home() / "missing" / name : pickedFile(name, "text");
        app->GetUpMicroAssetWith(path.string());
        ASSERT_TRUE(waitForOutcome());
        EXPECT_EQ(states.back(), localized("转码失败"));
        EXPECT_TRUE(app->upMicroArr().empty());
    }
}

TEST_F(VideoQueueTest, QuickTimeMovieBecomesDecodableMp4) {
    service().setReply("POST", kUploadPath, sample_service::Reply::json({{"success", 0}}));
    fs::path movie = platform::Paths::home() / "library" / "clip.MOV";
    fs::create_directories(movie.parent_path());
    ASSERT_TRUE(writeMovie(movie));
    app->GetUpMicroAssetWith(movie.string());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(states.back(), localized("上传失败"));
    const fs::path mp4 = app->MP4Path();
    ASSERT_TRUE(fs::exists(mp4));
    EXPECT_EQ(mp4.parent_path(), platform::Paths::documentsDirectory());
    EXPECT_EQ(mp4.filename().string().rfind("micro-", 0), 0u);
    EXPECT_EQ(firstPictureSize(mp4), std::make_pair(160, 120));
    // The index comes before the media data.
    std::ifstream in(mp4, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), head.size());
    ASSERT_NE(head.find("moov"), std::string::npos);
    auto mdat = head.find("mdat");
    EXPECT_TRUE(mdat == std::string::npos || head.find("moov") < mdat);
    // The temporary copy is gone; the upload sent the converted bytes.
    for (auto& entry : fs::directory_iterator(platform::Paths::temporaryDirectory()))
        EXPECT_NE(entry.path().extension(), ".MOV");
    EXPECT_EQ(service().lastRequest(kUploadPath)->parts[0].fileName, "clip.mp4");
    EXPECT_EQ(service().lastRequest(kUploadPath)->parts[0].bytes.size(), fs::file_size(mp4));
    std::printf("picture encoder: %s\n", platform::VideoExport::videoEncoderName().c_str());
}

}  // namespace
