// Video lessons: a teacher's upload of a short lesson to one of the courses. The upload is
// accepted when it carries a video and names a course.
#include "sample_service/SampleService.h"

namespace sample_service {

void addCourseRoutes(SampleService& service) {
    // POST course/<user id>/uploadSmallClass: parts "vedio" (the MP4), "courseId",
    // "isCanView", "description".
    service.route("POST", "services/norvo/course/%@/uploadSmallClass", [](const RecordedRequest& request) {
        bool hasVideo = false;
        std::string courseId;
        for (const auto& part : request.parts) {
            if (part.name == "vedio" && !part.bytes.empty()) hasVideo = true;
            if (part.name == "courseId") courseId = part.bytes;
        }
        if (!hasVideo) return Reply::json({{"success", 0}, {"message", "没有视频"}});
        if (courseId.empty()) return Reply::json({{"success", 0}, {"message", "请选择课程"}});
        return Reply::json({{"success", 1}});
    });
}

}  // namespace sample_service
