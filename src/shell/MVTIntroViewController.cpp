#include "shell/MVTIntroViewController.h"

#include "shell/MVTAppDelegate.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

using namespace platform;

namespace {

Size screenSize() { return Screen::mainScreen().bounds().size; }

// Pixels of the main screen: points times the scale, as whole numbers.
std::pair<int, int> screenPixels() {
    const double scale = Screen::mainScreen().scale();
    return {static_cast<int>(screenSize().width * scale), static_cast<int>(screenSize().height * scale)};
}

}  // namespace

MVTIntroViewController::MVTIntroViewController() = default;
MVTIntroViewController::~MVTIntroViewController() = default;

std::string MVTIntroViewController::pictureFolder(int pixelWidth, int pixelHeight) {
    return "introimgs.bundle/" + std::to_string(pixelWidth) + std::to_string(pixelHeight);
}

void MVTIntroViewController::init() {
    pictures_.clear();
    const auto [w, h] = screenPixels();
    const auto folder = Paths::resourcesDirectory() / pictureFolder(w, h);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() == ".png") pictures_.push_back(entry.path().string());
    }
    std::sort(pictures_.begin(), pictures_.end());
}

int MVTIntroViewController::compareVersions(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            size_t ie = i, je = j;
            while (ie < a.size() && digit(a[ie])) ++ie;
            while (je < b.size() && digit(b[je])) ++je;
            // Compare the runs as numbers of any length: leading zeros aside, the longer
            // run is larger, and runs of one length compare digit by digit.
            std::string x = a.substr(i, ie - i), y = b.substr(j, je - j);
            x.erase(0, std::min(x.find_first_not_of('0'), x.size()));
            y.erase(0, std::min(y.find_first_not_of('0'), y.size()));
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (int c = x.compare(y); c != 0) return c < 0 ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool MVTIntroViewController::isNewVersion() {
    const auto file = Paths::documentsDirectory() / kIntroFile;
    const std::string running = MVTAppDelegate::bundleShortVersionString();
    if (auto stored = readFile(file, 4096)) {
        if (compareVersions(running, *stored) <= 0) return false;
    }
    writeFileAtomically(file, running);
    return true;
}

void MVTIntroViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    const Size size = screenSize();
    auto root = view();
    root->setFrame(Rect(0, 0, size.width, size.height));
    if (pictures_.empty()) {
        dismiss();
        return;
    }
    if (!isShowDismissButton_) {
        root->setBackgroundColor(Color::whiteColor());
        StatusBar::shared().setHidden(true);
    }

    const double W = size.width, H = size.height;
    const size_t n = pictures_.size();
    scrollView_ = std::make_shared<ScrollView>(Rect(0, 0, W, H));
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setPagingEnabled(true);
    scrollView_->setBounces(false);
    scrollView_->setContentSize({W * double(n), H});
    scrollView_->setDelegate(std::dynamic_pointer_cast<ScrollViewDelegate>(shared_from_this()));
    root->addSubview(scrollView_);

    std::shared_ptr<ImageView> last;
    for (size_t i = 0; i < n; ++i) {
        auto picture = std::make_shared<ImageView>(Rect(W * double(i), 0, W, H));
        picture->setImage(Image::imageWithContentsOfFile(pictures_[i]));
        picture->setContentMode(ContentMode::ScaleToFill);
        picture->setUserInteractionEnabled(true);
        scrollView_->addSubview(picture);
        last = picture;
    }

    if (isShowDismissButton_ && last) {
        const auto [pw, ph] = screenPixels();
        double top = H - 160, height = 50;
        if (pw == 640 && ph == 1136) top = H - 210, height = 50;
        else if (pw == 750 && ph == 1334) top = H - 250, height = 60;
        else if (pw == 1242 && ph == 2208) top = H - 270, height = 60;
        dismissButton_ = Button::buttonWithType(ButtonType::Custom);
        dismissButton_->setFrame(Rect(40, top, W - 80, height));
        dismissButton_->setBackgroundColor(Color::clear());
        std::weak_ptr<MVTIntroViewController> weak = std::static_pointer_cast<MVTIntroViewController>(shared_from_this());
        dismissButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->dismiss();
        });
        last->addSubview(dismissButton_);
    }
    showWhichPage(0);
}

void MVTIntroViewController::showWhichPage(int page) {
    auto root = view();
    const Size size = screenSize();
    if (!pageView_) {
        pageView_ = std::make_shared<View>(Rect((size.width - 115) / 2, size.height - 40, 115, 15));
        pageView_->setBackgroundColor(Color::clear());
        pageView_->setUserInteractionEnabled(false);
        // One dot per picture, centred in the area.
        const double pitch = 15, dot = 9;
        const double start = (115 - pitch * double(pictures_.size())) / 2;
        for (size_t i = 0; i < pictures_.size(); ++i) {
            auto view = std::make_shared<ImageView>(Rect(start + pitch * double(i) + (pitch - dot) / 2, (15 - dot) / 2, dot, dot));
            view->setTag(kDotTagBase + int(i));
            pageView_->addSubview(view);
        }
        root->addSubview(pageView_);
    }
    shownPage_ = page;
    for (auto& sub : pageView_->subviews()) {
        if (auto dot = std::dynamic_pointer_cast<ImageView>(sub))
            dot->setImage(Image::imageNamed(dot->tag() == kDotTagBase + page ? "doting.png" : "doted.png"));
    }
}

void MVTIntroViewController::scrollViewDidScroll(ScrollView& scrollView) {
    const double W = screenSize().width;
    const double x = scrollView.contentOffset().x;
    showWhichPage(static_cast<int>(std::floor(x / W)));
    if (x > W * double(pictures_.size() - 1) && !beOut_) {
        beOut_ = true;
        dismiss();
    }
}

// From the first time the pager comes to rest, the last picture can be dragged beyond.
void MVTIntroViewController::scrollViewDidEndDecelerating(ScrollView& scrollView) { scrollView.setBounces(true); }

void MVTIntroViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool willDecelerate) {
    if (!willDecelerate) scrollView.setBounces(true);
}

void MVTIntroViewController::dismiss() {
    // Closed once, whether by the button or by a drag beyond the end.
    if (dismissing_) return;
    dismissing_ = true;
    auto root = view();
    // The fade keeps the intro alive until it has told its delegate.
    auto self = std::static_pointer_cast<MVTIntroViewController>(shared_from_this());
    animate(
        1.0, [root] { root->setAlpha(0.5); },
        [self](bool) {
            self->view()->removeFromSuperview();
            if (!self->isShowDismissButton_) StatusBar::shared().setHidden(false);
            if (auto delegate = self->delegate_.lock()) delegate->introViewControllerWillDismiss();
        });
}
