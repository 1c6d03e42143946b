#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMeasure.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

class ViewsTextTest : public testing_support::AppTest {};

TEST_F(ViewsTextTest, LabelSizeThatFitsGrowsWithMoreLines) {
    auto label = std::make_shared<Label>(Rect(0, 0, 100, 20));
    label->setFont(Font::systemFontOfSize(14));
    label->setText("a rather long sentence that cannot fit on one line of a hundred points");
    Size one = label->sizeThatFits({100, 1000});
    label->setNumberOfLines(0);
    Size all = label->sizeThatFits({100, 1000});
    label->setNumberOfLines(2);
    Size two = label->sizeThatFits({100, 1000});
    EXPECT_LE(one.width, 100);
    EXPECT_GT(two.height, one.height);
    EXPECT_GT(all.height, two.height);
    EXPECT_LE(all.width, 100);
}

TEST_F(ViewsTextTest, ChineseTextMeasuresWithTheCjkFont) {
    Font font = Font::systemFontOfSize(16);
    Size s = TextMeasure::sizeWithFont("暂无数据", font);
    EXPECT_GT(s.width, 40);   // four full-width characters of about 16 points
    EXPECT_LT(s.width, 80);
    EXPECT_GE(s.height, 16);
    // Wrapping Chinese without spaces breaks between characters.
    EXPECT_GT(TextMeasure::lineCount("图片保存成功图片保存成功图片保存成功", font, 60), 2);
}

TEST_F(ViewsTextTest, MeasuringRespectsWidthHeightAndEmptyText) {
    Font font = Font::fontWithName("Helvetica", 14);
    EXPECT_EQ(TextMeasure::size("", font), (Size{0, 0}));
    Size line = TextMeasure::sizeWithFont("Hello", font);
    EXPECT_GT(line.width, 20);
    Size wrapped = TextMeasure::sizeWithFont("Hello Hello Hello Hello", font, {60, 1000});
    EXPECT_LE(wrapped.width, 60);
    EXPECT_GE(wrapped.height, 3 * line.height);
    // A float's maximum means no limit, as callers write it.
    EXPECT_EQ(TextMeasure::sizeWithFont("Hello Hello Hello Hello", font, {60, 3.4e38}), wrapped);
    EXPECT_EQ(TextMeasure::sizeWithFont("Hello", font, {3.4e38, 3.4e38}, LineBreakMode::TruncateTail), line);
    // One clipped line runs to the edge instead of breaking before the last word.
    Size clipped = TextMeasure::size("Hello Hello Hello Hello", font, 60, LineBreakMode::Clip, 1);
    EXPECT_EQ(clipped, (Size{60, line.height}));
    Size cut = TextMeasure::sizeWithFont("Hello Hello Hello Hello", font, {60, line.height * 2});
    EXPECT_LE(cut.height, line.height * 2);
    EXPECT_GE(cut.height, line.height * 2 - 1);
}

TEST_F(ViewsTextTest, BoldAndLargerFontsMeasureWider) {
    std::string text = "Notices and homework";
    double regular = TextMeasure::sizeWithFont(text, Font::fontWithName("Helvetica", 18)).width;
    double bold = TextMeasure::sizeWithFont(text, Font::fontWithName("Helvetica-Bold", 18)).width;
    double small = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(12)).width;
    EXPECT_GT(bold, regular);
    EXPECT_LT(small, regular);
    EXPECT_TRUE(Font::boldSystemFontOfSize(13).isBold());
    EXPECT_EQ(Font::fontWithName("Helvetica-Bold", 18).familyName(), "Liberation Sans");
    EXPECT_GT(Font::systemFontOfSize(17).lineHeight(), 17);
}

TEST_F(ViewsTextTest, LabelDrawsItsTextInItsColour) {
    auto label = std::make_shared<Label>(Rect(0, 0, 60, 30));
    label->setText("■■■");
    label->setFont(Font::systemFontOfSize(24));
    label->setTextColor(Color::rgba(1, 0, 0, 1));
    label->setTextAlignment(TextAlignment::Center);
    auto ctx = makeImageContext({60, 30});
    label->draw(*ctx, label->bounds());
    auto image = ctx->image();
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (image->pixelAt(x, y) == 0xFFFF0000u) ++red;
    EXPECT_GT(red, 50);
}

}  // namespace
